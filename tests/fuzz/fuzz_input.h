// Splits a fuzzer's bytes into the pieces a check needs. Texts are separated
// by one 0xFF byte, a byte no Shift-JIS character uses, so that a seed is
// readable text; numbers are taken from wherever the reading stands, little
// endian, and a piece past the end is empty or 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace numerabo {
namespace fuzz {

constexpr unsigned char kSeparator = 0xFF;

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool AtEnd() const { return position_ >= size_; }

  uint8_t Byte() { return AtEnd() ? 0 : data_[position_++]; }

  uint32_t U32() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(Byte()) << (8 * i);
    return value;
  }

  int32_t I32() {
    const uint32_t u = U32();
    int32_t value;
    std::memcpy(&value, &u, sizeof value);
    return value;
  }

  double Double() {
    uint64_t bits = U32();
    bits |= static_cast<uint64_t>(U32()) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // The bytes up to the next separator (which is passed over) or the end.
  std::string Text() {
    const size_t begin = position_;
    while (position_ < size_ && data_[position_] != kSeparator) ++position_;
    std::string text(reinterpret_cast<const char*>(data_ + begin), position_ - begin);
    if (position_ < size_) ++position_;
    return text;
  }

  // Everything not read yet, separators included.
  std::string Rest() {
    std::string text(reinterpret_cast<const char*>(data_ + position_), AtEnd() ? 0 : size_ - position_);
    position_ = size_;
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

// text with every byte outside printable ASCII as \xNN, for a failure's message.
inline std::string Shown(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string shown = "\"";
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
      shown += static_cast<char>(c);
    } else {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 15];
    }
  }
  return shown + "\"";
}

}  // namespace fuzz
}  // namespace numerabo
