// The music module over a device whose every answer comes from the input:
// any error code, any reply or error text, a buffer filled to its last byte
// without a NUL. Every buffer is read within its size; a reply comes back up
// to its first NUL and within the buffer, a failure as "Error:" and its code;
// a buffer goes with every command that has a length and none without; a CD
// poll whose first query fails stops polling.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "host/music/mci_channel.h"
#include "host/music/playback.h"
#include "host/startup/shared_state.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

class FuzzedMciDevice : public MciDevice {
 public:
  explicit FuzzedMciDevice(FuzzInput& input) : input_(input) {}

  uint32_t SendString(const char* command, char* reply, uint32_t length) override {
    ++commands;
    if ((reply == nullptr) != (length == 0)) mismatchedBuffer = true;
    if (std::strlen(command) == 0) emptyCommand = true;
    const uint8_t code = input_.Byte();
    Fill(reply, length);
    return code < 0xC0 ? 0 : code;
  }

  bool GetErrorString(uint32_t, char* text, uint32_t length) override {
    if (input_.Byte() & 1) return false;
    Fill(text, length);
    return true;
  }

  int commands = 0;
  bool mismatchedBuffer = false;
  bool emptyCommand = false;

 private:
  // The answer's bytes, NUL-ended only where the buffer has room for it.
  void Fill(char* buffer, uint32_t length) {
    const std::string answer = input_.Text();
    if (!buffer || length == 0) return;
    const size_t n = std::min<size_t>(answer.size(), length);
    std::memcpy(buffer, answer.data(), n);
    if (n < length) buffer[n] = '\0';
  }

  FuzzInput& input_;
};

inline std::string CheckMciReply(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  BgmRepeat = static_cast<int16_t>(input.Byte() % 4);
  FuzzedMciDevice device(input);

  const std::string reply = MciQuery(device, "status cdaudio mode");
  if (reply.rfind("Error:", 0) != 0 &&
      (reply.size() > kMciReplySize || reply.find('\0') != std::string::npos)) {
    return "a reply longer than its buffer or holding a NUL";
  }
  std::string text;
  MciExecute(device, "status cdaudio current track", text);
  if (text.size() > std::max(kMciReplySize, kMciErrorTextSize) || text.find('\0') != std::string::npos) {
    return "a text longer than its buffer or holding a NUL";
  }
  if (MciExecute(device, "", text) != kMciNoCommand) return "an empty command was sent";

  FuzzInput peek = input;
  const uint8_t firstCode = peek.Byte();
  CdPoll(device);
  if (firstCode >= 0xC0 && CdPollOk) return "a CD poll whose first query failed goes on";
  Mp3IsPlaying(device);
  Mp3Repeat(device);
  if (device.mismatchedBuffer) return "a buffer without a length or a length without a buffer";
  if (device.emptyCommand) return "an empty command reached the device";
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
