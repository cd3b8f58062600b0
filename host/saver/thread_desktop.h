// The name of the desktop the calling thread runs on, for the start's record.
#pragma once

#include <string>

namespace numerabo {

// "Default" for the user's desktop, "Screen-saver" where Windows starts an
// idle saver, or the name another program gave a desktop; "" when the
// platform does not say.
std::wstring ThreadDesktopName();

}  // namespace numerabo
