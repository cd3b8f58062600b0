// A stand-in for the platform's MCI and sound player: it records every call
// and answers from a script, so the music logic can be driven without a CD
// drive or a sound card.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/music/playback.h"

namespace numerabo::testing {

class ScriptedMci : public MciDevice {
public:
  struct Sent {
    std::string command;
    uint32_t length;
    bool operator==(const Sent& o) const { return command == o.command && length == o.length; }
  };
  struct Answer {
    uint32_t code = 0;
    std::optional<std::string> reply;  // nothing: the buffer is left untouched
  };

  void Reply(const std::string& command, const std::string& reply) { answers[command] = {0, reply}; }
  void Fail(const std::string& command, uint32_t code) { answers[command] = {code, std::nullopt}; }

  uint32_t SendString(const char* command, char* reply, uint32_t length) override {
    sent.push_back({command, length});
    if ((reply == nullptr) != (length == 0)) mismatchedBuffers = true;
    const auto it = answers.find(command);
    if (it == answers.end()) return 0;
    if (it->second.reply && reply != nullptr) {
      const std::string& text = *it->second.reply;
      const size_t n = std::min<size_t>(text.size(), length - 1);
      std::memcpy(reply, text.data(), n);
      reply[n] = '\0';
    }
    return it->second.code;
  }

  bool GetErrorString(uint32_t code, char* text, uint32_t length) override {
    errorLookups.push_back({code, length});
    const auto it = errorTexts.find(code);
    if (it == errorTexts.end()) return false;
    std::snprintf(text, length, "%s", it->second.c_str());
    return true;
  }

  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const Sent& s : sent) out.push_back(s.command);
    return out;
  }

  std::map<std::string, Answer> answers;
  std::map<uint32_t, std::string> errorTexts;
  std::vector<Sent> sent;
  std::vector<std::pair<uint32_t, uint32_t>> errorLookups;
  bool mismatchedBuffers = false;
};

class ScriptedSound : public SoundPlayer {
public:
  struct Call {
    std::optional<std::string> name;
    uint32_t flags;
  };
  uint32_t WaveOutDevices() override { return devices; }
  void Play(const char* name, uint32_t flags) override {
    calls.push_back({name ? std::optional<std::string>(name) : std::nullopt, flags});
  }
  uint32_t devices = 1;
  std::vector<Call> calls;
};

}  // namespace numerabo::testing
