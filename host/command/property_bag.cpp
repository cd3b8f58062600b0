#include "host/command/property_bag.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace numerabo {
namespace {

std::string Trim(const std::string& text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = text.find_last_not_of(" \t");
  return text.substr(b, e - b + 1);
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  size_t n = 0;
  for (; b[n] != '\0'; ++n) {
    if (n >= a.size()) return false;
    char x = a[n], y = b[n];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return n == a.size();
}

// A whole number without range check; false for anything else.
bool ParseWhole(const std::string& raw, long long& out) {
  std::string t = Trim(raw);
  if (t.empty()) return false;
  if (EqualsIgnoringCase(t, "true")) { out = -1; return true; }
  if (EqualsIgnoringCase(t, "false")) { out = 0; return true; }
  errno = 0;
  char* end = nullptr;
  long long v;
  if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h')) {
    std::string digits = t.substr(2);
    if (digits.empty() || digits.size() > 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return false;
    unsigned long long u = std::strtoull(digits.c_str(), &end, 16);
    // Eight digits are a 32-bit constant that may set the sign bit.
    v = digits.size() == 8 ? static_cast<long long>(static_cast<int32_t>(static_cast<uint32_t>(u)))
                           : static_cast<long long>(u);
  } else {
    if (t.find_first_not_of("+-0123456789") != std::string::npos) return false;
    v = std::strtoll(t.c_str(), &end, 10);
    if (errno == ERANGE || end == nullptr || *end != '\0') return false;
  }
  out = v;
  return true;
}

std::string Escape(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

std::string Unescape(const std::string& value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      char n = value[++i];
      if (n == 'n') out += '\n';
      else if (n == 'r') out += '\r';
      else out += n;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string FormatFont(const FontDesc& font) {
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, ",%g,%d,%d,%d,%d", static_cast<double>(font.size), font.weight,
                font.charset, font.italic ? 1 : 0, font.underline ? 1 : 0);
  return font.face + numbers;
}

bool ParseFont(const std::string& text, FontDesc& font) {
  // Split off up to five numeric fields from the right; whatever remains
  // is the face name.
  std::vector<std::string> fields;
  std::string rest = text;
  while (fields.size() < 5) {
    size_t comma = rest.rfind(',');
    if (comma == std::string::npos) break;
    std::string field = Trim(rest.substr(comma + 1));
    if (field.empty() || field.find_first_not_of("+-.0123456789eE") != std::string::npos) break;
    fields.insert(fields.begin(), field);
    rest = rest.substr(0, comma);
  }
  FontDesc f = font;
  f.face = rest;
  if (f.face.find_first_not_of(", \t") == std::string::npos) return false;
  if (!fields.empty()) {
    char* end = nullptr;
    double size = std::strtod(fields[0].c_str(), &end);
    if (*end != '\0' || !std::isfinite(size) || size <= 0 || size > 2048) return false;
    f.size = static_cast<float>(size);
    // A size too small for a float is no size: it would be kept as 0, and
    // that is written back as a text this reader refuses.
    if (!(f.size > 0)) return false;
  }
  long long v;
  if (fields.size() > 1) {
    if (!ParseInteger(fields[1], 0, 1000, v)) return false;
    f.weight = static_cast<int>(v);
  }
  if (fields.size() > 2) {
    if (!ParseInteger(fields[2], 0, 255, v)) return false;
    f.charset = static_cast<int>(v);
  }
  if (fields.size() > 3) {
    if (!ParseInteger(fields[3], -1, 1, v)) return false;
    f.italic = v != 0;
  }
  if (fields.size() > 4) {
    if (!ParseInteger(fields[4], -1, 1, v)) return false;
    f.underline = v != 0;
  }
  font = f;
  return true;
}

bool ParseBoolean(const std::string& text, bool& value) {
  long long v;
  if (!ParseWhole(text, v)) return false;
  value = v != 0;
  return true;
}

std::string FormatBoolean(bool value) { return value ? "True" : "False"; }

bool ParseInteger(const std::string& text, long long min, long long max, long long& value) {
  long long v;
  if (!ParseWhole(text, v) || v < min || v > max) return false;
  value = v;
  return true;
}

PropertyBag::PropertyBag(const std::string& text) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t eq = line.find('=');
    if (eq != std::string::npos && eq > 0) Put(line.substr(0, eq), Unescape(line.substr(eq + 1)));
    pos = end + 1;
  }
}

std::string PropertyBag::Text() const {
  std::string out;
  for (const auto& e : entries_) out += e.first + "=" + Escape(e.second) + "\n";
  return out;
}

bool PropertyBag::Has(const std::string& key) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == key; });
}

std::string PropertyBag::Read(const std::string& key, const std::string& defaultValue) const {
  for (const auto& e : entries_)
    if (e.first == key) return e.second;
  return defaultValue;
}

void PropertyBag::Put(const std::string& key, const std::string& value) {
  for (auto& e : entries_) {
    if (e.first == key) {
      e.second = value;
      return;
    }
  }
  entries_.emplace_back(key, value);
}

void PropertyBag::Remove(const std::string& key) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == key; }),
                 entries_.end());
}

void PropertyBag::WriteText(const std::string& key, const std::string& value, const std::string& defaultValue) {
  if (value == defaultValue) Remove(key);
  else Put(key, value);
}

void PropertyBag::WriteBoolean(const std::string& key, bool value, bool defaultValue) {
  if (value == defaultValue) Remove(key);
  else Put(key, FormatBoolean(value));
}

void PropertyBag::WriteInteger(const std::string& key, long long value, const std::string& defaultValue,
                               long long min, long long max) {
  long long def;
  if (ParseInteger(defaultValue, min, max, def) && def == value) Remove(key);
  else Put(key, std::to_string(value));
}

void PropertyBag::WriteFont(const std::string& key, const FontDesc& value, const FontDesc& defaultValue) {
  if (value == defaultValue) Remove(key);
  else Put(key, FormatFont(value));
}

}  // namespace numerabo
