// The image button's stored properties: an ordered set of key/value text
// entries, one "Key=Value" line each. A read names a default for an absent
// key; a write leaves the key out when the value equals the default (after
// reading the default as the value's type), so stored designs carry only
// what differs.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace numerabo {

// A caption font as stored: face name, size in points, weight, character
// set and style.
struct FontDesc {
  std::string face;
  float size = 0;
  int weight = 400;
  int charset = 0;
  bool italic = false;
  bool underline = false;

  bool operator==(const FontDesc& o) const {
    return face == o.face && size == o.size && weight == o.weight && charset == o.charset &&
           italic == o.italic && underline == o.underline;
  }
  bool operator!=(const FontDesc& o) const { return !(*this == o); }
};

// "face,size,weight,charset,italic,underline", e.g. "ＭＳ Ｐゴシック,9.75,400,128,0,0".
std::string FormatFont(const FontDesc& font);
// Reads FormatFont's text. The face may itself contain commas; the numbers
// are taken from the right. Only the face is required: missing numbers keep
// the values font already has. False (font unchanged) when malformed.
bool ParseFont(const std::string& text, FontDesc& font);

// "True"/"False", or a number (non-zero is true), blanks around allowed.
bool ParseBoolean(const std::string& text, bool& value);
std::string FormatBoolean(bool value);

// A whole number in [min, max]: decimal with optional sign, "&H" hex, or
// "True"/"False" (-1/0). False (value unchanged) when it is not one or does
// not fit.
bool ParseInteger(const std::string& text, long long min, long long max, long long& value);

class PropertyBag {
 public:
  PropertyBag() = default;
  // Lines without "=" are ignored; "\\", "\n" and "\r" in values are
  // escapes, so any caption survives the round trip.
  explicit PropertyBag(const std::string& text);
  std::string Text() const;

  bool Has(const std::string& key) const;
  std::string Read(const std::string& key, const std::string& defaultValue) const;

  void WriteText(const std::string& key, const std::string& value, const std::string& defaultValue);
  void WriteBoolean(const std::string& key, bool value, bool defaultValue);
  // An integer of the range [min, max]; the text default is read as such.
  void WriteInteger(const std::string& key, long long value, const std::string& defaultValue,
                    long long min, long long max);
  void WriteFont(const std::string& key, const FontDesc& value, const FontDesc& defaultValue);

  const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

 private:
  void Put(const std::string& key, const std::string& value);
  void Remove(const std::string& key);
  std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace numerabo
