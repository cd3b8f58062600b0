#include "host/startup/command_line.h"

#include <vector>

#include "host/startup/text/conversions.h"
#include "host/startup/text/sjis.h"

namespace numerabo {

std::string SwitchOf(const std::string& commandLine) {
  std::string upper = UpperCase(commandLine);
  std::vector<size_t> starts = CharacterStarts(upper);
  if (starts.size() < 2) return std::string();
  size_t end = starts.size() > 2 ? starts[2] : upper.size();
  return upper.substr(starts[1], end - starts[1]);
}

bool PreviewParentOf(const std::string& commandLine, int32_t* handle) {
  std::vector<size_t> starts = CharacterStarts(commandLine);
  std::string rest = starts.size() > 3 ? commandLine.substr(starts[3]) : std::string();
  return ToInt32RoundedEven(LeadingNumber(rest), handle);
}

}  // namespace numerabo
