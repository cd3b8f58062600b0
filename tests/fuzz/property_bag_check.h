// The image button's stored properties, any text. The bag's text reads back
// as the same entries, each key once; a font, an integer or a Boolean that
// reads is written back in a form that reads as the same value (a size to
// the six digits it is written with); an integer stays within its range; a
// button reads any bag.
#pragma once

#include <cmath>
#include <cstdint>
#include <set>
#include <string>

#include "host/command/command_model.h"
#include "host/command/property_bag.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

inline std::string CheckPropertyBag(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const uint8_t range = input.Byte();
  const std::string fontText = input.Text();
  const std::string numberText = input.Text();
  const std::string text = input.Rest();

  const PropertyBag bag(text);
  std::set<std::string> keys;
  for (const auto& entry : bag.Entries()) {
    if (!keys.insert(entry.first).second) return "key " + Shown(entry.first) + " twice";
    if (entry.first.empty() || entry.first.find_first_of("=\n") != std::string::npos) {
      return "a key the text cannot hold: " + Shown(entry.first);
    }
    if (bag.Read(entry.first, "?") != entry.second) return "Read disagrees with the entries";
  }
  if (PropertyBag(bag.Text()).Entries() != bag.Entries()) return "the bag's text reads back otherwise: " + Shown(text);

  // Numbers the text leaves out keep the values the font has: a real size.
  FontDesc font;
  font.size = 9.75f;
  if (ParseFont(fontText, font)) {
    if (!(font.size > 0)) return "a font read with size " + std::to_string(font.size) + ": " + Shown(fontText);
    FontDesc again;
    again.weight = -7;
    if (!ParseFont(FormatFont(font), again)) return "a font read cannot be read back: " + Shown(FormatFont(font));
    if (again.face != font.face || again.weight != font.weight || again.charset != font.charset ||
        again.italic != font.italic || again.underline != font.underline ||
        std::fabs(again.size - font.size) > font.size * 1e-5f) {
      return "a font read back otherwise: " + Shown(fontText) + " as " + Shown(FormatFont(again));
    }
  }

  static const long long kRanges[][2] = {{0, 255}, {INT16_MIN, INT16_MAX}, {INT32_MIN, INT32_MAX}, {-1, 1}, {0, 1000}};
  const long long* bounds = kRanges[range % 5];
  long long number = 12345678;
  if (ParseInteger(numberText, bounds[0], bounds[1], number)) {
    if (number < bounds[0] || number > bounds[1]) return "an integer outside its range: " + Shown(numberText);
    long long again = 0;
    if (!ParseInteger(std::to_string(number), bounds[0], bounds[1], again) || again != number) {
      return "an integer written does not read back";
    }
  } else if (number != 12345678) {
    return "a refused integer changed the value";
  }
  bool flag = false;
  if (ParseBoolean(numberText, flag)) {
    bool again = !flag;
    if (!ParseBoolean(FormatBoolean(flag), again) || again != flag) return "a Boolean written does not read back";
  }

  CommandModel button;
  button.ReadProperties(bag);
  if (button.Caption() != bag.Read("Caption", "Command1")) return "the button's caption is not the stored one";
  PropertyBag stored;
  button.WriteProperties(stored);
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
