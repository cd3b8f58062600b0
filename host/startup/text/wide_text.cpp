#include "host/startup/text/wide_text.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#include <vector>
#endif

namespace numerabo {

namespace {

constexpr unsigned kShiftJis = 932;

#ifdef _WIN32

std::wstring ToWide(const std::string& sjis) {
  if (sjis.empty()) return std::wstring();
  const int n = MultiByteToWideChar(kShiftJis, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kShiftJis, 0, sjis.data(), static_cast<int>(sjis.size()), &wide[0], n);
  return wide;
}

// Shift-JIS of wide; *exact is false when some character had no exact form
// (replaced by "?"). No best-fit mapping: a look-alike would name another file.
std::string ToSjis(const std::wstring& wide, bool* exact) {
  *exact = true;
  if (wide.empty()) return std::string();
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, "?", &usedDefault);
  if (n <= 0) {
    *exact = false;
    return std::string();
  }
  std::string sjis(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &sjis[0], n,
                      "?", &usedDefault);
  // Several UTF-16 characters share one Shift-JIS form; only one of them
  // comes back, so the way back must give the same text.
  *exact = !usedDefault && ToWide(sjis) == wide;
  return sjis;
}

#else  // the same conversions through iconv, for the native build and its tests

// Runs iconv over the whole input; bytes it cannot convert become
// replacement, one unit per input unit, and *exact turns false.
template <class Out, class In>
Out Convert(const char* to, const char* from, const In& input, const Out& replacement, bool* exact) {
  *exact = true;
  Out out;
  if (input.empty()) return out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    *exact = false;
    return out;
  }
  using OutUnit = typename Out::value_type;
  char* in = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
  size_t inLeft = input.size() * sizeof(typename In::value_type);
  std::vector<OutUnit> buffer(input.size() * 4 + 8);
  while (inLeft > 0) {
    char* outPtr = reinterpret_cast<char*>(buffer.data());
    size_t outLeft = buffer.size() * sizeof(OutUnit);
    const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), (buffer.size() * sizeof(OutUnit) - outLeft) / sizeof(OutUnit));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // EILSEQ or EINVAL: one unit of input has no form; skip it.
      *exact = false;
      out += replacement;
      in += sizeof(typename In::value_type);
      inLeft -= sizeof(typename In::value_type);
    }
  }
  iconv_close(cd);
  return out;
}

std::wstring ToWide(const std::string& sjis) {
  bool exact;
  return Convert<std::wstring>("WCHAR_T", "CP932", sjis, std::wstring(1, L'\xFFFD'), &exact);
}

std::string ToSjis(const std::wstring& wide, bool* exact) {
  std::string sjis = Convert<std::string>("CP932", "WCHAR_T", wide, std::string("?"), exact);
  if (*exact) *exact = ToWide(sjis) == wide;
  return sjis;
}

#endif

}  // namespace

std::wstring Wide(const std::string& sjis) { return ToWide(sjis); }

bool SjisOf(const std::wstring& wide, std::string* sjis) {
  bool exact = false;
  std::string converted = ToSjis(wide, &exact);
  if (!exact) return false;
  *sjis = std::move(converted);
  return true;
}

std::string Sjis(const std::wstring& wide) {
  bool exact;
  return ToSjis(wide, &exact);
}

std::string Utf8(const std::wstring& wide) {
  std::string utf8;
  utf8.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(wide[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
      const uint32_t low = static_cast<uint32_t>(wide[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (c >> 18));
      utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

}  // namespace numerabo
