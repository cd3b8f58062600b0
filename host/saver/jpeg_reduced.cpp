#include "host/saver/jpeg_reduced.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

namespace numerabo {
namespace {

// Where each coefficient of a block's zigzag order sits in its 8 x 8 grid.
constexpr uint8_t kZigzagToGrid[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                       12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                       35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                       58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Codes and values of up to this many bits are decoded with one lookup: on
// a noisy photo most coefficients of a block then take one.
constexpr int kFastBits = 11;
// The reduced picture is held whole: larger ones are left to the system.
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;

constexpr int kSkipEnd = 1 << 10, kSkipSixteen = 1 << 11;

struct Huffman {
  uint8_t fastLength[1 << kFastBits] = {};  // 0: the code is longer than kFastBits
  uint8_t fastValue[1 << kFastBits] = {};
  // For AC tables: a code and the value after it that both fit in the
  // lookahead, as value * 256 + run * 16 + bits of both (value 0: end of
  // block or 16 zeros); 0 where not.
  int32_t fastCoefficient[1 << kFastBits] = {};
  // For AC tables, past the frequencies a block keeps: a code whose length
  // fits the lookahead, as bits of the code and the value after it, plus
  // (run + 1) * 32, plus kSkipEnd for end of block or kSkipSixteen for a
  // run of 16 zeros; 0 where the code is longer.
  uint16_t fastSkip[1 << kFastBits] = {};
  int32_t maxCode[17] = {};  // the last code of each length, -1 where there is none
  int32_t valueOffset[17] = {};
  int32_t valueCount = 0;
  uint8_t values[256] = {};
};

// How a component's blocks are transformed: the lowest columns x rows
// frequencies of each 8 x 8 block give columns x rows pixels. Luma gives
// 8 / reduction a side; a subsampled component gives as many more as its
// subsampling, up to 8, so it needs no upsampling where that fits.
struct BlockTransform {
  int columns = 1, rows = 1;
  int8_t slotOf[64];  // zigzag index -> slot among the columns x rows coefficients, or -1
  int lastSlotted = 0;  // the last zigzag index with a slot
  uint8_t zigzagOf[64];  // slot -> zigzag index
  const float* columnBasis = nullptr;  // [pixel][frequency], 8 a row
  const float* rowBasis = nullptr;
};

struct Component {
  int id = 0;
  int h = 1, v = 1;  // sampling factors
  int quant = 0;
  int dcTable = 0, acTable = 0;
  std::vector<uint8_t> plane;  // one row of MCUs at the reduced size
  size_t stride = 0;
  std::vector<int32_t> columnOf;  // the plane's column for each output column
  BlockTransform transform;
};

struct Header {
  int32_t width = 0, height = 0;
  int componentCount = 0;
  Component components[3];
  int scanOrder[3] = {};
  int hMax = 1, vMax = 1;
  bool rgb = false;
  int adobeTransform = -1;
  uint32_t restartInterval = 0;
  bool quantPresent[4] = {};
  uint16_t quant[4][64] = {};  // in zigzag order
  std::unique_ptr<Huffman> dc[4], ac[4];  // on the heap: their lookups are large
  size_t scanStart = 0;
};

uint32_t Be16(const uint8_t* p) { return (uint32_t{p[0]} << 8) | p[1]; }

bool ReadHuffman(const uint8_t* p, size_t length, size_t* used, Header* header) {
  if (length < 17) return false;
  const int tableClass = p[0] >> 4, id = p[0] & 15;
  if (tableClass > 1 || id > 3) return false;
  int32_t total = 0;
  for (int i = 1; i <= 16; ++i) total += p[i];
  if (total > 256 || length < size_t(17 + total)) return false;
  std::unique_ptr<Huffman>& slot = tableClass == 0 ? header->dc[id] : header->ac[id];
  slot.reset();  // a table defined again is only present once read whole
  std::unique_ptr<Huffman> made(new Huffman());
  Huffman& table = *made;
  std::memcpy(table.values, p + 17, static_cast<size_t>(total));
  table.valueCount = total;
  int32_t code = 0, index = 0;
  for (int length = 1; length <= 16; ++length) {
    const int count = p[length];
    table.valueOffset[length] = index - code;
    table.maxCode[length] = count ? code + count - 1 : -1;
    for (int i = 0; i < count; ++i, ++code, ++index) {
      if (length <= kFastBits) {
        const int shift = kFastBits - length;
        for (int fill = code << shift; fill < ((code + 1) << shift); ++fill) {
          table.fastLength[fill] = static_cast<uint8_t>(length);
          table.fastValue[fill] = table.values[index];
        }
      }
    }
    if (code > (1 << length)) return false;  // more codes than the length has
    code <<= 1;
  }
  for (int look = 0; look < (1 << kFastBits); ++look) {
    const int length = table.fastLength[look], run = table.fastValue[look] >> 4, size = table.fastValue[look] & 15;
    if (length == 0) continue;
    table.fastSkip[look] = static_cast<uint16_t>((size == 0 ? (run == 15 ? kSkipSixteen : kSkipEnd) : 0) +
                                                 (run + 1) * 32 + length + size);
    if (length + size > kFastBits) continue;
    if (size == 0) {  // end of block, or a run of 16 zeros: the value part stays 0
      table.fastCoefficient[look] = run * 16 + length;
      continue;
    }
    const int32_t raw = (look >> (kFastBits - length - size)) & ((1 << size) - 1);
    const int32_t value = raw < (1 << (size - 1)) ? raw - (1 << size) + 1 : raw;
    table.fastCoefficient[look] = value * 256 + run * 16 + length + size;
  }
  slot = std::move(made);
  *used = static_cast<size_t>(17 + total);
  return true;
}

bool ReadQuant(const uint8_t* p, size_t length, size_t* used, Header* header) {
  if (length < 1) return false;
  const int precision = p[0] >> 4, id = p[0] & 15;
  const size_t need = 1 + 64 * (precision ? 2 : 1);
  if (precision > 1 || id > 3 || length < need) return false;
  for (int i = 0; i < 64; ++i) {
    header->quant[id][i] = static_cast<uint16_t>(precision ? Be16(p + 1 + 2 * i) : p[1 + i]);
  }
  header->quantPresent[id] = true;
  *used = need;
  return true;
}

bool ReadFrame(const uint8_t* p, size_t length, Header* header) {
  if (header->componentCount != 0 || length < 6 || p[0] != 8) return false;
  header->height = static_cast<int32_t>(Be16(p + 1));
  header->width = static_cast<int32_t>(Be16(p + 3));
  const int count = p[5];
  if (header->width == 0 || header->height == 0 || (count != 1 && count != 3) ||
      length != size_t(6 + 3 * count)) {
    return false;
  }
  header->componentCount = count;
  for (int c = 0; c < count; ++c) {
    Component& component = header->components[c];
    component.id = p[6 + 3 * c];
    component.h = p[7 + 3 * c] >> 4;
    component.v = p[7 + 3 * c] & 15;
    component.quant = p[8 + 3 * c];
    if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4 || component.quant > 3) return false;
    for (int other = 0; other < c; ++other) {
      if (header->components[other].id == component.id) return false;
    }
  }
  if (count == 1) {
    // A scan of one component is never interleaved: its blocks are its MCUs.
    header->components[0].h = header->components[0].v = 1;
  }
  int blocks = 0;
  for (int c = 0; c < count; ++c) {
    header->hMax = header->components[c].h > header->hMax ? header->components[c].h : header->hMax;
    header->vMax = header->components[c].v > header->vMax ? header->components[c].v : header->vMax;
    blocks += header->components[c].h * header->components[c].v;
  }
  if (blocks > 10) return false;
  for (int c = 0; c < count; ++c) {
    if (header->hMax % header->components[c].h != 0 || header->vMax % header->components[c].v != 0) return false;
  }
  return true;
}

bool ReadScan(const uint8_t* p, size_t length, Header* header) {
  const int count = header->componentCount;
  if (count == 0 || length < 1 || p[0] != count || length != size_t(4 + 2 * count)) return false;
  bool used[3] = {};
  for (int i = 0; i < count; ++i) {
    int found = -1;
    for (int c = 0; c < count; ++c) {
      if (header->components[c].id == p[1 + 2 * i] && !used[c]) found = c;
    }
    if (found < 0) return false;
    used[found] = true;
    Component& component = header->components[found];
    component.dcTable = p[2 + 2 * i] >> 4;
    component.acTable = p[2 + 2 * i] & 15;
    if (component.dcTable > 3 || component.acTable > 3 || !header->dc[component.dcTable] ||
        !header->ac[component.acTable] || !header->quantPresent[component.quant]) {
      return false;
    }
    header->scanOrder[i] = found;
  }
  const uint8_t* tail = p + 1 + 2 * count;
  return tail[0] == 0 && tail[1] == 63 && tail[2] == 0;  // sequential: all 64 coefficients, no refinement
}

bool ReadHeader(const uint8_t* bytes, size_t size, Header* header) {
  if (!bytes || size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return false;
  size_t pos = 2;
  for (;;) {
    if (pos >= size || bytes[pos] != 0xFF) return false;
    while (pos < size && bytes[pos] == 0xFF) ++pos;
    if (pos >= size) return false;
    const uint8_t marker = bytes[pos++];
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no segment follows
    if (marker == 0xD8 || marker == 0xD9 || pos + 2 > size) return false;
    const size_t length = Be16(bytes + pos);
    if (length < 2 || length > size - pos) return false;
    const uint8_t* segment = bytes + pos + 2;
    const size_t segmentLength = length - 2;
    pos += length;
    switch (marker) {
      case 0xC0:
      case 0xC1:
        if (!ReadFrame(segment, segmentLength, header)) return false;
        break;
      case 0xC4:
        for (size_t at = 0, used = 0; at < segmentLength; at += used) {
          if (!ReadHuffman(segment + at, segmentLength - at, &used, header)) return false;
        }
        break;
      case 0xDB:
        for (size_t at = 0, used = 0; at < segmentLength; at += used) {
          if (!ReadQuant(segment + at, segmentLength - at, &used, header)) return false;
        }
        break;
      case 0xDD:
        if (segmentLength != 2) return false;
        header->restartInterval = Be16(segment);
        break;
      case 0xEE:
        if (segmentLength >= 12 && std::memcmp(segment, "Adobe", 5) == 0) header->adobeTransform = segment[11];
        break;
      case 0xDA:
        if (!ReadScan(segment, segmentLength, header)) return false;
        header->scanStart = pos;
        if (header->componentCount == 3) {
          const Component* c = header->components;
          header->rgb = header->adobeTransform == 0 ||
                        (header->adobeTransform < 0 && c[0].id == 'R' && c[1].id == 'G' && c[2].id == 'B');
        }
        return true;
      default:
        // Every other frame type (progressive, lossless, hierarchical,
        // arithmetic) and arithmetic conditioning are not handled here.
        if ((marker >= 0xC2 && marker <= 0xCF) || marker == 0xDC || marker == 0xDE || marker == 0xDF) return false;
        break;  // application data and comments
    }
  }
}

uint64_t LoadBigEndian64(const uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  uint64_t value;
  std::memcpy(&value, p, 8);
  return __builtin_bswap64(value);
#else
  uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value = value << 8 | p[i];
  return value;
#endif
}

bool HasByteFF(uint64_t word) {
  const uint64_t inverted = ~word;  // a byte 0xFF is a zero byte here
  return ((inverted - 0x0101010101010101) & ~inverted & 0x8080808080808080) != 0;
}

// The entropy-coded data, most significant bit first. Where it meets a
// marker or its end it feeds zeros, counted, so a scan that needs more
// bits than there are is found out.
struct BitReader {
  const uint8_t* bytes;
  size_t size;
  size_t pos;
  uint64_t buffer = 0;  // the next bits from the top
  int count = 0;
  int padded = 0;  // zeros fed at the bottom of buffer
  size_t limit = 0;  // size, or 0 once stopped at a marker or the end
  size_t stuffed = 0;  // the 0x00 bytes after data bytes 0xFF since the scan's start

  void Fill() {
    while (count <= 56) {
      // Eight bytes none of which is 0xFF hold no marker and no stuffing:
      // as many as fit are taken at once.
      if (pos + 8 <= limit) {
        const uint64_t word = LoadBigEndian64(bytes + pos);
        if (!HasByteFF(word)) {
          const int take = (64 - count) >> 3;
          buffer |= (word >> count) & (~uint64_t{0} << (64 - count - take * 8));
          pos += static_cast<size_t>(take);
          count += take * 8;
          return;
        }
      }
      if (pos < limit && bytes[pos] != 0xFF) {
        buffer |= uint64_t{bytes[pos++]} << (56 - count);
        count += 8;
        continue;
      }
      uint32_t byte = 0;
      if (pos + 1 < limit && bytes[pos + 1] == 0) {
        byte = 0xFF;
        pos += 2;
        ++stuffed;
      } else {
        limit = 0;  // pos stays at the marker
        padded += 8;
      }
      buffer |= uint64_t{byte} << (56 - count);
      count += 8;
    }
  }
  void Ensure() {
    if (count < 32) Fill();
  }
  uint32_t Peek(int bits) const { return static_cast<uint32_t>(buffer >> (64 - bits)); }
  void Skip(int bits) {
    buffer <<= bits;
    count -= bits;
  }
  int32_t Receive(int bits) {  // bits 1..16, an extended signed value
    const int32_t value = static_cast<int32_t>(Peek(bits));
    Skip(bits);
    return value < (1 << (bits - 1)) ? value - (1 << bits) + 1 : value;
  }
  bool Overrun() const { return count < padded; }
  // The bits taken since the scan's start, the zeros fed past a marker
  // included. Two readers of one scan at one position, with no restart
  // marker behind them, give the same bits from there on and find the same
  // overrun: the next marker is the same one for both.
  uint64_t Position(size_t scanStart) const {
    return uint64_t(pos - scanStart - stuffed) * 8 + uint64_t(padded) - uint64_t(count);
  }
};

int DecodeSymbol(BitReader& bits, const Huffman& table) {
  const uint32_t look = bits.Peek(kFastBits);
  if (const int length = table.fastLength[look]) {
    bits.Skip(length);
    return table.fastValue[look];
  }
  for (int length = kFastBits + 1; length <= 16; ++length) {
    const int32_t code = static_cast<int32_t>(bits.Peek(length));
    if (code <= table.maxCode[length]) {
      const int32_t index = code + table.valueOffset[length];
      if (index < 0 || index >= table.valueCount) return -1;
      bits.Skip(length);
      return table.values[index];
    }
  }
  return -1;
}

// The lowest n frequencies of an 8-point block read as an n-point transform
// keep the 8-point scale: each pixel is the mean of the area it stands for.
struct Bases {
  float of[9][8][8] = {};  // [n][pixel][frequency] for n = 1, 2, 4, 8
  Bases() {
    const double pi = std::acos(-1.0);
    for (int n = 1; n <= 8; n *= 2) {
      for (int x = 0; x < n; ++x) {
        for (int u = 0; u < n; ++u) {
          const double weight = u == 0 ? std::sqrt(0.5) : 1.0;
          of[n][x][u] = static_cast<float>(weight / 2 * std::cos((2 * x + 1) * u * pi / (2 * n)));
        }
      }
    }
  }
};

void MakeTransform(int columns, int rows, BlockTransform* transform) {
  static const Bases bases;
  transform->columns = columns;
  transform->rows = rows;
  for (int z = 0; z < 64; ++z) {
    const int row = kZigzagToGrid[z] / 8, column = kZigzagToGrid[z] % 8;
    transform->slotOf[z] = static_cast<int8_t>(row < rows && column < columns ? row * columns + column : -1);
    if (transform->slotOf[z] >= 0) {
      transform->lastSlotted = z;
      transform->zigzagOf[transform->slotOf[z]] = static_cast<uint8_t>(z);
    }
  }
  transform->columnBasis = &bases.of[columns][0][0];
  transform->rowBasis = &bases.of[rows][0][0];
}

uint8_t Clamp(float value) {
  value += 128.5f;
  return value <= 0 ? 0 : value >= 255 ? 255 : static_cast<uint8_t>(value);
}

// An AC code longer than the lookahead: the end of the block, 16 zeros
// (z moved past them), or a value of size bits after z's run of zeros (z
// moved to its place); Bad where the codes do not add up.
enum class AcCode { Bad, End, Zeros, Value };
inline AcCode ReadAcCode(BitReader& bits, const Huffman& ac, int* z, int* size) {
  const int symbol = DecodeSymbol(bits, ac);
  if (symbol < 0) return AcCode::Bad;
  const int run = symbol >> 4;
  *size = symbol & 15;
  if (*size == 0) {
    if (run != 15) return AcCode::End;
    *z += 16;
    return AcCode::Zeros;
  }
  *z += run;
  return *z > 63 ? AcCode::Bad : AcCode::Value;
}

// The AC codes of one block: the frequencies it keeps, then the rest, whose
// bits are only skipped.
inline bool ReadCoefficients(BitReader& bits, const Huffman& ac, const BlockTransform& reduction, int32_t* raw) {
  int z = 1;
  while (z <= reduction.lastSlotted) {
    bits.Ensure();
    if (const int32_t fast = ac.fastCoefficient[bits.Peek(kFastBits)]) {
      bits.Skip(fast & 15);
      const int32_t value = fast >> 8;
      if (value == 0) {
        if ((fast & 0xF0) != 0xF0) return true;  // end of block
        z += 16;
        continue;
      }
      z += (fast >> 4) & 15;
      if (z > 63) return false;
      const int slot = reduction.slotOf[z];
      if (slot >= 0) raw[slot] = value;
      ++z;
      continue;
    }
    int acSize = 0;
    switch (ReadAcCode(bits, ac, &z, &acSize)) {
      case AcCode::Bad: return false;
      case AcCode::End: return true;
      case AcCode::Zeros: continue;
      case AcCode::Value: break;
    }
    const int32_t value = bits.Receive(acSize);
    const int slot = reduction.slotOf[z];
    if (slot >= 0) raw[slot] = value;
    ++z;
  }
  while (z < 64) {
    bits.Ensure();
    if (const uint32_t skip = ac.fastSkip[bits.Peek(kFastBits)]) {
      bits.Skip(skip & 31);
      if (skip & kSkipEnd) return true;
      z += (skip >> 5) & 31;
      if (z > 64 && !(skip & kSkipSixteen)) return false;
      continue;
    }
    int acSize = 0;
    switch (ReadAcCode(bits, ac, &z, &acSize)) {
      case AcCode::Bad: return false;
      case AcCode::End: return true;
      case AcCode::Zeros: continue;
      case AcCode::Value: break;
    }
    bits.Skip(acSize);
    ++z;
  }
  return true;
}

// Reads one block's codes: raw[0] the difference of its DC, raw[slot] the
// values of the frequencies it keeps, not yet multiplied by the quantiser.
// On failure reader stands where the data stopped adding up.
inline bool ReadBlock(BitReader& reader, const Huffman& dc, const Huffman& ac, const BlockTransform& reduction,
               int32_t* raw) {
  std::memset(raw, 0, sizeof(int32_t) * reduction.columns * reduction.rows);
  BitReader bits = reader;  // held in registers while the block is read
  bool read = false;
  bits.Ensure();
  const int dcSize = DecodeSymbol(bits, dc);
  if (dcSize >= 0 && dcSize <= 16) {
    raw[0] = dcSize ? bits.Receive(dcSize) : 0;
    read = ReadCoefficients(bits, ac, reduction, raw);
  }
  reader = bits;
  return read;
}

// The transform of a block of n x n kept frequencies, n known to the
// compiler: its loops are unrolled.
template <int n>
void TransformSquare(const int32_t* raw, const BlockTransform& reduction, const uint16_t* quant, uint8_t* out,
                     size_t stride) {
  float coefficients[n * n];
  for (int slot = 0; slot < n * n; ++slot) {
    coefficients[slot] = static_cast<float>(raw[slot] * quant[reduction.zigzagOf[slot]]);
  }
  float partial[n][n];  // [frequency row][pixel column]
  for (int v = 0; v < n; ++v) {
    for (int x = 0; x < n; ++x) {
      const float* basis = reduction.columnBasis + x * 8;
      float sum = 0;
      for (int u = 0; u < n; ++u) sum += basis[u] * coefficients[v * n + u];
      partial[v][x] = sum;
    }
  }
  for (int y = 0; y < n; ++y) {
    const float* basis = reduction.rowBasis + y * 8;
    for (int x = 0; x < n; ++x) {
      float sum = 0;
      for (int v = 0; v < n; ++v) sum += basis[v] * partial[v][x];
      out[y * stride + x] = Clamp(sum);
    }
  }
}

// Writes one block's columns x rows pixels (as many each way) at out from
// its values as ReadBlock gives them, raw[0] made its DC (the running
// predictor).
void TransformBlock(const int32_t* raw, const BlockTransform& reduction, const uint16_t* quant, uint8_t* out,
                    size_t stride) {
  switch (reduction.columns) {
    case 1:
      out[0] = Clamp(static_cast<float>(raw[0] * quant[0]) / 8);
      return;
    case 2:
      return TransformSquare<2>(raw, reduction, quant, out, stride);
    case 4:
      return TransformSquare<4>(raw, reduction, quant, out, stride);
    default:
      return TransformSquare<8>(raw, reduction, quant, out, stride);
  }
}

// Past the bits of one restart interval: the marker that ends it must be
// the one expected next.
bool Restart(BitReader& bits, int expected) {
  if (bits.count - bits.padded >= 8) return false;  // whole bytes left over: the data does not add up
  size_t pos = bits.pos;
  if (pos >= bits.size || bits.bytes[pos] != 0xFF) return false;
  while (pos < bits.size && bits.bytes[pos] == 0xFF) ++pos;
  if (pos >= bits.size || bits.bytes[pos] != 0xD0 + (expected & 7)) return false;
  bits.pos = pos + 1;
  bits.buffer = 0;
  bits.count = bits.padded = 0;
  bits.limit = bits.size;
  return true;
}

struct Colour {
  int32_t crRed[256], cbBlue[256], cbGreen[256], crGreen[256];
  Colour() {
    for (int i = 0; i < 256; ++i) {
      const double c = i - 128;
      crRed[i] = static_cast<int32_t>(std::lround(1.402 * c));
      cbBlue[i] = static_cast<int32_t>(std::lround(1.772 * c));
      cbGreen[i] = static_cast<int32_t>(std::lround(-0.344136 * c * 65536));
      crGreen[i] = static_cast<int32_t>(std::lround(-0.714136 * c * 65536)) + 32768;
    }
  }
};

uint8_t Byte(int32_t value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); }

// Writes the output rows one row of MCUs covers.
void EmitRows(const Header& header, const uint8_t* const* planes, const Colour& colour, int32_t firstRow,
              int32_t rowCount, int blockSize, ReducedJpeg* out) {
  const int32_t width = out->width;
  for (int32_t r = 0; r < rowCount; ++r) {
    uint8_t* pixel = out->pixels.data() + (static_cast<size_t>(firstRow) + r) * width * 4;
    const uint8_t* rows[3];
    for (int c = 0; c < header.componentCount; ++c) {
      const Component& component = header.components[c];
      rows[c] = planes[c] +
                static_cast<size_t>(r * component.v * component.transform.rows / (header.vMax * blockSize)) *
                    component.stride;
    }
    if (header.componentCount == 1) {
      for (int32_t x = 0; x < width; ++x, pixel += 4) pixel[0] = pixel[1] = pixel[2] = rows[0][x];
      continue;
    }
    const int32_t* column[3] = {header.components[0].columnOf.data(), header.components[1].columnOf.data(),
                                header.components[2].columnOf.data()};
    for (int32_t x = 0; x < width; ++x, pixel += 4) {
      const uint8_t a = rows[0][column[0][x]], b = rows[1][column[1][x]], c = rows[2][column[2][x]];
      if (header.rgb) {
        pixel[0] = c;
        pixel[1] = b;
        pixel[2] = a;
      } else {
        pixel[0] = Byte(a + colour.cbBlue[b]);
        pixel[1] = Byte(a + ((colour.cbGreen[b] + colour.crGreen[c]) >> 16));
        pixel[2] = Byte(a + colour.crRed[c]);
      }
    }
  }
}


// Room for what the helper reads, not cleared first: only what it wrote is
// read.
template <typename T>
struct Store {
  std::unique_ptr<T[]> data;
  uint64_t size = 0;
  void Grow(uint64_t to) {
    if (to <= size) return;
    std::unique_ptr<T[]> grown(new T[to]);
    if (size) std::memcpy(grown.get(), data.get(), sizeof(T) * size);
    data = std::move(grown);
    size = to;
  }
  T& operator[](uint64_t i) { return data[i]; }
};

// With a helper thread, a scan without restart markers is read from two
// places at once: from its start here, and from about its middle by the
// helper, which cannot know where an MCU starts there nor the DC values
// before it. The helper reads MCUs from wherever it stands to the end,
// keeping each one's position and its values (DC as differences); where the
// codes do not add up it drops what it has and reads on. Once the helper has
// finished and the reading from the start reaches an MCU boundary at a
// position where one of the helper's MCUs starts, both are in the same state
// but for the DC predictors (the reading of an MCU depends on nothing else),
// so the helper's MCUs from there on are the ones this reading would have
// read, and their DC differences are added to this reading's predictors.
// Where no position matches, nothing the helper read is used: the result is
// always the sequential one.
struct Speculation {
  // Set before the helper starts, not changed while it runs.
  const Header* header = nullptr;
  const uint8_t* bytes = nullptr;
  size_t size = 0;
  size_t from = 0;  // where the helper starts; the byte before is no 0xFF
  uint64_t expected = 0;  // MCUs it is likely to read: room for them is made at once
  uint64_t capacity = 0;  // MCUs it may keep
  size_t valuesPerMcu = 0;
  int blocksPerMcu = 0;
  std::atomic<bool> cancel{false};
  std::atomic<bool> finished{false};  // set once what follows is written
  // Read once it has finished.
  uint64_t decoded = 0;  // MCUs read in a row, ending in end
  Store<uint64_t> starts;  // their positions
  Store<int16_t> values;  // their kept values, slot 0 of each block unused
  Store<int32_t> dcDifferences;
  BitReader end{nullptr, 0, 0};
};

void Speculate(Speculation& s) {
  const Header& header = *s.header;
  // The bytes before the helper's start must hold no marker, so that both
  // readers meet the same next one; its stuffing is counted, so that
  // positions compare.
  size_t stuffed = 0;
  for (size_t at = header.scanStart; at < s.from; at += 2) {
    const void* found = std::memchr(s.bytes + at, 0xFF, s.from - at);
    if (!found) break;
    at = static_cast<size_t>(static_cast<const uint8_t*>(found) - s.bytes);
    if (s.bytes[at + 1] != 0) return;  // at + 1 < from: the byte before from is no 0xFF
    ++stuffed;
  }
  uint64_t room = 0;
  const auto grow = [&s, &room](uint64_t mcus) {
    room = std::min(mcus, s.capacity);
    s.starts.Grow(room);
    s.values.Grow(room * s.valuesPerMcu);
    s.dcDifferences.Grow(room * s.blocksPerMcu);
  };
  grow(s.expected);
  BitReader bits{s.bytes, s.size, s.from};
  bits.limit = s.size;
  bits.stuffed = stuffed;
  uint64_t decoded = 0;
  int32_t raw[64];
  while (!s.cancel.load(std::memory_order_relaxed)) {
    if (decoded == room) {
      if (room == s.capacity) break;
      grow(room * 2 + 1);
    }
    const uint64_t start = bits.Position(header.scanStart);
    BitReader trial = bits;
    int16_t* values = s.values.data.get() + decoded * s.valuesPerMcu;
    int32_t* dc = s.dcDifferences.data.get() + decoded * s.blocksPerMcu;
    bool read = true;
    for (int i = 0; i < header.componentCount && read; ++i) {
      const Component& component = header.components[header.scanOrder[i]];
      const BlockTransform& reduction = component.transform;
      const int slots = reduction.columns * reduction.rows;
      for (int block = 0; block < component.h * component.v && read; ++block) {
        read = ReadBlock(trial, *header.dc[component.dcTable], *header.ac[component.acTable], reduction, raw);
        *dc++ = raw[0];
        for (int slot = 1; slot < slots; ++slot) values[slot] = static_cast<int16_t>(raw[slot]);  // |raw| < 2^15
        values += slots;
      }
    }
    if (trial.Overrun()) break;
    if (!read) {
      if (trial.Position(header.scanStart) == start) {
        trial.Ensure();
        trial.Skip(1);
      }
      decoded = 0;
    } else {
      s.starts[decoded++] = start;
    }
    bits = trial;
  }
  s.end = bits;
  s.decoded = decoded;
}

void RunSpeculation(void* context) {
  Speculation& s = *static_cast<Speculation*>(context);
  try {
    Speculate(s);
  } catch (...) {  // out of memory: nothing of the helper's is used
    s.decoded = 0;
  }
  s.finished.store(true, std::memory_order_release);
}

// The helper's job reads the decoder's state: however decoding ends, the
// job has ended before that state goes.
class HelperRun {
 public:
  HelperRun(DecodeHelper* helper, Speculation* speculation) : helper_(helper), speculation_(speculation) {}
  HelperRun(const HelperRun&) = delete;
  HelperRun& operator=(const HelperRun&) = delete;
  ~HelperRun() {
    speculation_->cancel.store(true, std::memory_order_relaxed);
    Join();
  }
  bool Start(void (*job)(void*), void* context) {
    Join();
    running_ = helper_->Start(job, context);
    return running_;
  }
  void Join() {
    if (running_) helper_->Wait();
    running_ = false;
  }

 private:
  DecodeHelper* helper_;
  Speculation* speculation_;
  bool running_ = false;
};

// Fewer MCUs than this are read alone; the helper keeps at most this much.
constexpr uint64_t kMinSpeculatedMcus = 16;
constexpr uint64_t kMaxSpeculationBytes = uint64_t{32} << 20;

// How the picture's MCUs map to the output, and to the helper's store.
struct Layout {
  uint64_t mcusAcross = 0;
  int32_t rowsPerMcu = 0;  // output rows
  int blockSize = 0;
  size_t valuesPerMcu = 0;
  uint64_t blocksPerMcu = 0;
};

// Writes one block's pixels into its place in a plane of one row of MCUs.
void PlaceBlock(const Header& header, int c, uint8_t* plane, uint64_t across, int by, int bx, const int32_t* raw) {
  const Component& component = header.components[c];
  uint8_t* at = plane + static_cast<size_t>(by) * component.transform.rows * component.stride +
                (across * component.h + bx) * component.transform.columns;
  TransformBlock(raw, component.transform, header.quant[component.quant], at, component.stride);
}

// Writes the output rows of the row of MCUs `down`, whose planes are whole.
void EmitMcuRow(const Header& header, const Layout& layout, const uint8_t* const* planes, uint64_t down,
                ReducedJpeg* out) {
  static const Colour colour;
  const int32_t first = static_cast<int32_t>(down) * layout.rowsPerMcu;
  const int32_t count = out->height - first < layout.rowsPerMcu ? out->height - first : layout.rowsPerMcu;
  EmitRows(header, planes, colour, first, count, layout.blockSize, out);
}

// The DC differences of the helper's MCUs stored from `stored` on, count of
// them, made absolute in place, continuing predictors. False where one
// leaves the range the reading alone would refuse.
bool MakeDcAbsolute(const Header& header, const Layout& layout, Speculation& s, uint64_t stored, uint64_t count,
                    int32_t* predictors) {
  int32_t* dc = s.dcDifferences.data.get() + stored * layout.blocksPerMcu;
  for (uint64_t mcu = 0; mcu < count; ++mcu) {
    for (int i = 0; i < header.componentCount; ++i) {
      const int c = header.scanOrder[i];
      for (int block = 0; block < header.components[c].h * header.components[c].v; ++block, ++dc) {
        const int32_t predictor = predictors[c] + *dc;
        if (predictor < -32767 || predictor > 32767) return false;  // no product with its quantiser overflows
        predictors[c] = *dc = predictor;
      }
    }
  }
  return true;
}

// Places the picture's MCUs [first, end), the helper's stored from `stored`
// on with their DC made absolute, into planes, and writes each row of MCUs
// they complete.
void PlaceStored(const Header& header, const Layout& layout, const Speculation& s, uint64_t first, uint64_t end,
                 uint64_t stored, uint8_t* const* planes, ReducedJpeg* out) {
  const int16_t* values = s.values.data.get() + stored * layout.valuesPerMcu;
  const int32_t* dc = s.dcDifferences.data.get() + stored * layout.blocksPerMcu;
  int32_t raw[64];
  uint64_t across = first % layout.mcusAcross;
  for (uint64_t mcu = first; mcu < end; ++mcu) {
    for (int i = 0; i < header.componentCount; ++i) {
      const int c = header.scanOrder[i];
      const Component& component = header.components[c];
      const int slots = component.transform.columns * component.transform.rows;
      for (int by = 0; by < component.v; ++by) {
        for (int bx = 0; bx < component.h; ++bx, values += slots) {
          raw[0] = *dc++;
          for (int slot = 1; slot < slots; ++slot) raw[slot] = values[slot];
          PlaceBlock(header, c, planes[c], across, by, bx, raw);
        }
      }
    }
    if (++across == layout.mcusAcross) {
      EmitMcuRow(header, layout, planes, mcu / layout.mcusAcross, out);
      across = 0;
    }
  }
}

// Whole rows of the helper's MCUs placed by the helper thread, with planes
// of its own: the output rows are others than the ones placed meanwhile.
struct Placing {
  const Header* header = nullptr;
  const Layout* layout = nullptr;
  const Speculation* speculation = nullptr;
  uint64_t first = 0, end = 0, stored = 0;
  ReducedJpeg* out = nullptr;
  bool placed = false;
};

void RunPlacing(void* context) {
  Placing& p = *static_cast<Placing*>(context);
  try {
    std::vector<uint8_t> planes[3];
    uint8_t* of[3] = {};
    for (int c = 0; c < p.header->componentCount; ++c) {
      planes[c].resize(p.header->components[c].plane.size());
      of[c] = planes[c].data();
    }
    PlaceStored(*p.header, *p.layout, *p.speculation, p.first, p.end, p.stored, of, p.out);
    p.placed = true;
  } catch (...) {  // out of memory: the rows are placed without the helper
  }
}

bool Decode(const uint8_t* bytes, size_t size, int32_t reduction, ReducedJpeg* out, DecodeHelper* helper) {
  if (reduction != 2 && reduction != 4 && reduction != 8) return false;
  Header header;
  if (!ReadHeader(bytes, size, &header)) return false;
  Layout layout;
  layout.blockSize = 8 / reduction;
  const int blockSize = layout.blockSize;
  const uint64_t mcuWidth = 8 * uint64_t(header.hMax), mcuHeight = 8 * uint64_t(header.vMax);
  const uint64_t mcusAcross = layout.mcusAcross = (uint64_t(header.width) + mcuWidth - 1) / mcuWidth;
  const uint64_t mcusDown = (uint64_t(header.height) + mcuHeight - 1) / mcuHeight;
  const uint64_t mcus = mcusAcross * mcusDown;
  for (int c = 0; c < header.componentCount; ++c) {
    layout.blocksPerMcu += header.components[c].h * header.components[c].v;
  }
  const uint64_t blocksPerMcu = layout.blocksPerMcu;
  // Every block takes at least two bits: data too short for the size it
  // declares is refused before anything of that size is allocated.
  if ((size - header.scanStart) * 4 < mcus * blocksPerMcu) return false;
  const uint64_t width = (uint64_t(header.width) + reduction - 1) / reduction;
  const uint64_t height = (uint64_t(header.height) + reduction - 1) / reduction;
  if (width * height > kMaxPixels) return false;
  out->width = static_cast<int32_t>(width);
  out->height = static_cast<int32_t>(height);
  out->pixels.assign(width * height * 4, 0);
  uint8_t* planes[3] = {};
  for (int c = 0; c < header.componentCount; ++c) {
    Component& component = header.components[c];
    // Subsampled alike both ways (4:2:0), a component's blocks give more
    // pixels and need no upsampling; otherwise (4:2:2) they are repeated.
    const int columns = header.hMax / component.h == header.vMax / component.v
                            ? std::min(8, blockSize * header.hMax / component.h)
                            : blockSize;
    const int rows = columns;
    MakeTransform(columns, rows, &component.transform);
    layout.valuesPerMcu += static_cast<size_t>(component.h * component.v * columns * rows);
    component.stride = mcusAcross * component.h * columns;
    component.plane.assign(component.stride * component.v * rows, 0);
    planes[c] = component.plane.data();
    component.columnOf.resize(width);
    for (uint64_t x = 0; x < width; ++x) {
      component.columnOf[x] = static_cast<int32_t>(x * component.h * columns / (header.hMax * blockSize));
    }
  }
  layout.rowsPerMcu = header.vMax * blockSize;
  BitReader bits{bytes, size, header.scanStart};
  bits.limit = size;

  Speculation speculation;
  Placing placing;
  HelperRun run(helper, &speculation);  // declared after what the helper reads
  enum class Source { Alone, Waiting, Seeking } source = Source::Alone;
  if (helper && header.restartInterval == 0 && mcus >= kMinSpeculatedMcus) {
    speculation.header = &header;
    speculation.bytes = bytes;
    speculation.size = size;
    // Before the middle: the reading from the start transforms every MCU.
    speculation.from = header.scanStart + static_cast<size_t>(uint64_t{size - header.scanStart} * 9 / 20);
    while (bytes[speculation.from - 1] == 0xFF) --speculation.from;  // the scan's marker ends in 0xDA
    speculation.valuesPerMcu = layout.valuesPerMcu;
    speculation.blocksPerMcu = static_cast<int>(blocksPerMcu);
    const uint64_t perMcu = layout.valuesPerMcu * sizeof(int16_t) + blocksPerMcu * sizeof(int32_t) + sizeof(uint64_t);
    speculation.capacity = std::min(mcus, kMaxSpeculationBytes / perMcu);
    speculation.expected = mcus * 6 / 10 + 1;
    if (run.Start(RunSpeculation, &speculation)) source = Source::Waiting;
  }

  int32_t predictors[3] = {};
  int32_t raw[64];
  uint64_t next = 0;  // the helper's MCU met next
  int restarts = 0;
  uint64_t mcu = 0, across = 0;
  while (mcu < mcus) {
    if (header.restartInterval && mcu > 0 && mcu % header.restartInterval == 0) {
      if (!Restart(bits, restarts++)) return false;
      for (int32_t& predictor : predictors) predictor = 0;
    }
    // Past the helper's start, this reading goes on by itself until the
    // helper has finished (a helper slowed by other programs is not waited
    // for), then meets its MCUs where they start.
    if (source == Source::Waiting && bits.pos >= speculation.from &&
        speculation.finished.load(std::memory_order_acquire)) {
      run.Join();
      source = speculation.decoded ? Source::Seeking : Source::Alone;
    }
    if (source == Source::Seeking) {
      const uint64_t at = bits.Position(header.scanStart);
      while (next < speculation.decoded && speculation.starts[next] < at) ++next;
      if (next == speculation.decoded) {
        source = Source::Alone;
      } else if (speculation.starts[next] == at) {
        // In step: the helper's MCUs from next on are this reading's from
        // mcu on. Whole rows past the middle of them are placed by the
        // helper meanwhile.
        const uint64_t count = std::min(speculation.decoded - next, mcus - mcu);
        if (!MakeDcAbsolute(header, layout, speculation, next, count, predictors)) return false;
        const uint64_t end = mcu + count;
        const uint64_t firstRow = (mcu + mcusAcross - 1) / mcusAcross, endRow = end / mcusAcross;
        bool split = false;
        if (endRow >= firstRow + 2) {
          placing.header = &header;
          placing.layout = &layout;
          placing.speculation = &speculation;
          placing.first = (firstRow + endRow) / 2 * mcusAcross;
          placing.end = endRow * mcusAcross;
          placing.stored = next + (placing.first - mcu);
          placing.out = out;
          split = run.Start(RunPlacing, &placing);
        }
        PlaceStored(header, layout, speculation, mcu, split ? placing.first : end, next, planes, out);
        if (split) {
          run.Join();
          if (!placing.placed) {
            PlaceStored(header, layout, speculation, placing.first, placing.end, placing.stored, planes, out);
          }
          PlaceStored(header, layout, speculation, placing.end, end, next + (placing.end - mcu), planes, out);
        }
        out->helperMcus += count;
        // Past the helper's last MCU: where the data ends or stops adding
        // up, or where its room ran out.
        if (next + count == speculation.decoded) bits = speculation.end;
        source = Source::Alone;
        mcu = end;
        across = mcu % mcusAcross;
        continue;
      }
    }
    for (int i = 0; i < header.componentCount; ++i) {
      const int c = header.scanOrder[i];
      const Component& component = header.components[c];
      for (int by = 0; by < component.v; ++by) {
        for (int bx = 0; bx < component.h; ++bx) {
          if (!ReadBlock(bits, *header.dc[component.dcTable], *header.ac[component.acTable], component.transform,
                         raw)) {
            return false;
          }
          const int32_t predictor = predictors[c] + raw[0];
          if (predictor < -32767 || predictor > 32767) return false;  // no product with its quantiser overflows
          predictors[c] = raw[0] = predictor;
          PlaceBlock(header, c, planes[c], across, by, bx, raw);
        }
      }
    }
    if (bits.Overrun()) return false;
    if (++across == mcusAcross) {
      EmitMcuRow(header, layout, planes, mcu / mcusAcross, out);
      across = 0;
    }
    ++mcu;
  }
  return true;
}

}  // namespace

bool ReducedJpegSize(const uint8_t* bytes, size_t size, int32_t* width, int32_t* height) {
  try {
    Header header;
    if (!ReadHeader(bytes, size, &header)) return false;
    *width = header.width;
    *height = header.height;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool DecodeReducedJpeg(const uint8_t* bytes, size_t size, int32_t reduction, ReducedJpeg* out, DecodeHelper* helper) {
  bool decoded = false;
  try {
    decoded = Decode(bytes, size, reduction, out, helper);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  if (!decoded) *out = ReducedJpeg();
  return decoded;
}

}  // namespace numerabo
