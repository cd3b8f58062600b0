// The music channel: every MCI command of the host goes through here, so
// that replies and failures always come back as text instead of raising.
//
// The platform's two MCI calls sit behind MciDevice. The host hands the real
// one (mciSendStringW / mciGetErrorStringW, texts converted) to the functions below; the unit
// tests hand a scripted one, since no machine here has a CD drive.
#pragma once

#include <cstdint>
#include <string>

namespace numerabo {

class MciDevice {
public:
  virtual ~MciDevice() = default;
  // mciSendString(command, reply, length, NULL). reply is null exactly when
  // length is 0. Returns the MCI error code, 0 on success.
  virtual uint32_t SendString(const char* command, char* reply, uint32_t length) = 0;
  // mciGetErrorString(code, text, length); false when the platform has no
  // text for the code.
  virtual bool GetErrorString(uint32_t code, char* text, uint32_t length) = 0;
};

// Sizes of the process-wide buffers the channel hands to the platform.
constexpr uint32_t kMciReplySize = 512;
constexpr uint32_t kMciErrorTextSize = 256;

// Code of the channel's own failure: a command with no text.
constexpr int32_t kMciNoCommand = -1;

// Sends command with the 512-character reply buffer. text receives the reply
// on success, otherwise a readable error text. Returns the error code.
int32_t MciExecute(MciDevice& device, const std::string& command, std::string& text);

// The reply of command, or "Error:" and the decimal code when it failed.
std::string MciQuery(MciDevice& device, const std::string& command);

// "play <device>[ from <from>][ to <to>]"; an empty position is left out.
// Returns the error code.
int32_t MciPlay(MciDevice& device, const std::string& name, const std::string& from,
                const std::string& to);

// Sends command without a reply buffer (length 0); returns the error code.
uint32_t MciSend(MciDevice& device, const std::string& command);

// Sends command with a caller-owned reply buffer of the given size.
uint32_t MciSendWithReply(MciDevice& device, const std::string& command, char* reply,
                          uint32_t size);

}  // namespace numerabo
