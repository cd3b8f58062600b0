#include "host/music/mci_channel.h"

#include <cstring>

namespace numerabo {
namespace {

// Process-wide, like the rest of the music module's state: the platform
// writes into them, and the channel reads them back up to the first NUL.
char replyBuffer[kMciReplySize];
char errorTextBuffer[kMciErrorTextSize];
// Receives the reply or error text of every MciQuery and MciPlay.
std::string lastText;

std::string TextUpToNul(const char* buffer, size_t size) {
  return std::string(buffer, strnlen(buffer, size));
}

}  // namespace

int32_t MciExecute(MciDevice& device, const std::string& command, std::string& text) {
  if (command.empty()) {
    text = "コマンド文字列が指定されていません";
    return kMciNoCommand;
  }
  // A command that succeeds without a reply need not write the buffer at
  // all; without this the previous command's reply would be read again.
  replyBuffer[0] = '\0';
  const uint32_t code = device.SendString(command.c_str(), replyBuffer, kMciReplySize);
  if (code != 0) {
    if (device.GetErrorString(code, errorTextBuffer, kMciErrorTextSize)) {
      text = TextUpToNul(errorTextBuffer, kMciErrorTextSize);
    } else {
      text = "Error (文字列が取れません)";
    }
    return static_cast<int32_t>(code);
  }
  text = TextUpToNul(replyBuffer, kMciReplySize);
  return 0;
}

std::string MciQuery(MciDevice& device, const std::string& command) {
  const int32_t code = MciExecute(device, command, lastText);
  if (code != 0) return "Error:" + std::to_string(code);
  return lastText;
}

int32_t MciPlay(MciDevice& device, const std::string& name, const std::string& from,
                const std::string& to) {
  std::string command = "play " + name;
  if (!from.empty()) command += " from " + from;
  if (!to.empty()) command += " to " + to;
  return MciExecute(device, command, lastText);
}

uint32_t MciSend(MciDevice& device, const std::string& command) {
  return device.SendString(command.c_str(), nullptr, 0);
}

uint32_t MciSendWithReply(MciDevice& device, const std::string& command, char* reply,
                          uint32_t size) {
  return device.SendString(command.c_str(), reply, size);
}

}  // namespace numerabo
