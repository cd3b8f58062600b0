#include "host/startup/files/ini_text.h"

#include <vector>

#include "host/startup/text/sjis.h"

namespace numerabo {
namespace {

const size_t kNone = std::string::npos;

// The reply buffer of the platform's reader is 256 bytes with its NUL.
const size_t kValueLimit = 255;

// Blanks the reader ignores in the file. Names handed to the calls lose only
// their spaces: a tab there is part of the name, as on the platform.
const char kFileBlanks[] = " \t\v";
const char kCallBlanks[] = " ";

// Blank bytes are never trail bytes, so trimming by bytes cuts no character.
std::string Trimmed(const std::string& text, const char* blanks) {
  const size_t first = text.find_first_not_of(blanks);
  if (first == kNone) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Offset of the first character that is mark; a trail byte equal to it
// (the 5D of "ゾ", say) is not one.
size_t FindCharacter(const std::string& text, char mark) {
  for (size_t start : CharacterStarts(text)) {
    if (text[start] == mark) return start;
  }
  return kNone;
}

// Names compare with ASCII letters folded; double-byte characters compare
// byte for byte, their letter-like trail bytes untouched.
std::string Folded(const std::string& name) {
  std::string folded = name;
  for (size_t start : CharacterStarts(name)) {
    if (name[start] >= 'A' && name[start] <= 'Z') folded[start] = static_cast<char>(name[start] - 'A' + 'a');
  }
  return folded;
}

struct Line {
  size_t begin;  // first byte
  size_t end;    // end of its text, where its line end starts
  size_t next;   // start of the next line
};

// CR and LF are never trail bytes, so lines can be split on those bytes:
// CRLF, LF and CR alone each end a line.
std::vector<Line> Lines(const std::string& text) {
  std::vector<Line> lines;
  for (size_t begin = 0; begin < text.size();) {
    size_t end = text.find_first_of("\r\n", begin);
    if (end == kNone) end = text.size();
    size_t next = end;
    if (next < text.size()) next += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

// Where key is, or would go, in the first section named section; later
// sections of the same name and later lines of the same key are not read.
struct Place {
  bool sectionFound = false;
  bool keyFound = false;
  size_t line = 0;      // the key's line; else the line a new key follows
  std::string fileKey;  // the key as the file spells it
  std::string value;    // without surrounding blanks
};

Place Find(const std::string& text, const std::vector<Line>& lines, const std::string& section,
           const std::string& key) {
  const std::string wantedSection = Folded(Trimmed(section, kCallBlanks));
  const std::string wantedKey = Folded(Trimmed(key, kCallBlanks));
  Place place;
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string line = Trimmed(text.substr(lines[n].begin, lines[n].end - lines[n].begin), kFileBlanks);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (place.sectionFound) break;
      // The name ends at the first "]" or, without one, at the line end;
      // anything after the "]" is ignored.
      const size_t close = FindCharacter(line, ']');
      const std::string name = line.substr(1, close == kNone ? kNone : close - 1);
      if (Folded(Trimmed(name, kFileBlanks)) == wantedSection) {
        place.sectionFound = true;
        place.line = n;
      }
      continue;
    }
    if (!place.sectionFound) continue;
    place.line = n;
    const size_t equals = FindCharacter(line, '=');
    if (equals == kNone) continue;
    const std::string name = Trimmed(line.substr(0, equals), kFileBlanks);
    if (Folded(name) == wantedKey) {
      place.keyFound = true;
      place.fileKey = name;
      place.value = Trimmed(line.substr(equals + 1), kFileBlanks);
      return place;
    }
  }
  return place;
}

}  // namespace

bool IniValue(const std::string& text, const std::string& section, const std::string& key,
              std::string* value) {
  const Place place = Find(text, Lines(text), section, key);
  if (!place.keyFound) return false;
  std::string found = place.value;
  // Quote bytes are never trail bytes either.
  if (found.size() >= 2 && (found[0] == '"' || found[0] == '\'') && found.back() == found[0]) {
    found = found.substr(1, found.size() - 2);
  }
  // The platform's reply is read up to its first NUL: a damaged file with a
  // NUL in a value gives the same value on every code page.
  found = found.substr(0, found.find('\0'));
  *value = FirstBytes(found, kValueLimit);
  return true;
}

std::string IniWithValue(const std::string& text, const std::string& section, const std::string& key,
                         const std::string& value) {
  const std::vector<Line> lines = Lines(text);
  const Place place = Find(text, lines, section, key);
  if (place.keyFound) {
    const Line& line = lines[place.line];
    const char* lineEnd = line.next > line.end ? "" : "\r\n";
    return text.substr(0, line.begin) + place.fileKey + "=" + value + lineEnd + text.substr(line.end);
  }
  std::string added = Trimmed(key, kCallBlanks) + "=" + value + "\r\n";
  size_t at = text.size();
  if (place.sectionFound) {
    at = lines[place.line].next;
  } else {
    added = "[" + Trimmed(section, kCallBlanks) + "]\r\n" + added;
  }
  std::string before = text.substr(0, at);
  if (!before.empty() && before.back() != '\n' && before.back() != '\r') before += "\r\n";
  return before + added + text.substr(at);
}

}  // namespace numerabo
