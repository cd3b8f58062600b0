// The settings file's text: any file, any section, key and value. A rewrite
// keeps every line but the key's own (only inserted lines and the changed
// key line differ), another key reads the same before and after, and the
// value written reads back as the reader's rules make of it, for the names
// the host can write (no line break, no "]" in a section or "=" in a key,
// no tab at their ends, no key that opens a section or a comment, no name
// ending in half a character).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/startup/files/ini_text.h"
#include "host/startup/text/conversions.h"
#include "host/startup/text/sjis.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

inline std::string TrimmedOf(const std::string& text, const char* blanks) {
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A name as the calls take it, compared without regard to ASCII case.
inline std::string NameKey(const std::string& name) { return UpperCase(TrimmedOf(name, " ")); }

inline bool EndsInHalfCharacter(const std::string& text) {
  const std::vector<size_t> starts = CharacterStarts(text);
  return !starts.empty() && starts.back() == text.size() - 1 &&
         IsSjisLeadByte(static_cast<unsigned char>(text.back()));
}

inline bool WritableName(const std::string& name, char closing) {
  const std::string trimmed = TrimmedOf(name, " ");
  if (trimmed.find_first_of(std::string("\r\n") + closing) != std::string::npos) return false;
  if (!trimmed.empty() && (trimmed.front() == '\t' || trimmed.front() == '\v' || trimmed.back() == '\t' ||
                           trimmed.back() == '\v')) {
    return false;
  }
  return !EndsInHalfCharacter(trimmed);
}

// What a value written as given reads back as: blanks around it gone, one
// pair of matching quotes around it gone, up to its first NUL, at most 255
// bytes ending between two characters.
inline std::string ValueReadBack(const std::string& written) {
  std::string value = TrimmedOf(written, " \t\v");
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    value = value.substr(1, value.size() - 2);
  }
  value = value.substr(0, value.find('\0'));
  return FirstBytes(value, 255);
}

inline std::string CheckIniText(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const std::string section = input.Text();
  const std::string key = input.Text();
  const std::string value = input.Text();
  const std::string otherSection = input.Text();
  const std::string otherKey = input.Text();
  const std::string text = input.Rest();

  std::string before;
  if (IniValue(text, section, key, &before) &&
      (before.size() > 255 || before.find('\0') != std::string::npos)) {
    return "read a value of " + std::to_string(before.size()) + " bytes or with a NUL: " + Shown(before);
  }

  const std::string changed = IniWithValue(text, section, key, value);

  // Only one stretch differs; on the old side it lies within one line.
  size_t prefix = 0;
  while (prefix < text.size() && prefix < changed.size() && text[prefix] == changed[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < text.size() - prefix && suffix < changed.size() - prefix &&
         text[text.size() - 1 - suffix] == changed[changed.size() - 1 - suffix]) {
    ++suffix;
  }
  const std::string removed = text.substr(prefix, text.size() - prefix - suffix);
  if (removed.find_first_of("\r\n") != std::string::npos) {
    return "the rewrite changed more than the key's line: lost " + Shown(removed);
  }

  const bool sameKey = NameKey(section) == NameKey(otherSection) && NameKey(key) == NameKey(otherKey);
  const std::string keyName = TrimmedOf(key, " ");
  const bool opensLine = !keyName.empty() && (keyName[0] == '[' || keyName[0] == ';');
  const bool writable = WritableName(section, ']') && WritableName(key, '=') && !opensLine &&
                        value.find_first_of("\r\n") == std::string::npos;
  if (!writable) return "";

  std::string after;
  if (!IniValue(changed, section, key, &after)) return "the key written is not found: " + Shown(changed);
  if (after != ValueReadBack(value)) {
    return "wrote " + Shown(value) + ", read back " + Shown(after) + " from " + Shown(changed);
  }
  if (!sameKey) {
    std::string otherBefore, otherAfter;
    const bool foundBefore = IniValue(text, otherSection, otherKey, &otherBefore);
    const bool foundAfter = IniValue(changed, otherSection, otherKey, &otherAfter);
    if (foundBefore != foundAfter || otherBefore != otherAfter) {
      return "another key reads differently after the rewrite: " + Shown(otherBefore) + " then " +
             Shown(otherAfter) + " in " + Shown(changed);
    }
  }
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
