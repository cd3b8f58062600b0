// The one boundary between the host's text and the platform's.
//
// The host's own texts (captions, file and key names, messages) are
// Shift-JIS, code page 932, whatever the system's ANSI code page is; the
// platform is spoken to in UTF-16 through the wide calls. These functions
// convert between the two with code page 932 named explicitly, so nothing
// depends on the system's code page. Paths the platform hands over (the
// program folder, a chosen file) stay UTF-16 until they must become
// Shift-JIS, and SjisOf says when they cannot.
#pragma once

#include <string>

namespace numerabo {

// Shift-JIS to UTF-16. A byte that starts no valid character becomes U+FFFD.
std::wstring Wide(const std::string& sjis);

// UTF-16 to Shift-JIS when every character has an exact Shift-JIS form;
// false (and *sjis untouched) when one has none.
bool SjisOf(const std::wstring& wide, std::string* sjis);

// UTF-16 to Shift-JIS for text that is only shown or compared, such as a
// device's reply: a character without a Shift-JIS form becomes "?".
std::string Sjis(const std::wstring& wide);

// UTF-16 (UTF-32 in the native build) to UTF-8, for text that leaves the
// program in files read anywhere, such as the start's record: it holds every
// character a path may hold. A unit that is no character (a surrogate
// without its pair, which Windows' file names allow) becomes U+FFFD.
std::string Utf8(const std::wstring& wide);

}  // namespace numerabo
