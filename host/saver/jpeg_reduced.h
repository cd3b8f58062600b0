// A baseline JPEG decoded straight at 1/2, 1/4 or 1/8 of its size, for
// systems whose own JPEG codec decodes only the whole picture: each 8 x 8
// block gives 4 x 4, 2 x 2 or 1 x 1 pixels from its lowest frequencies, so
// a photo of many megapixels costs about what its reduced size costs.
//
// Handled: sequential Huffman-coded JPEG (SOF0, SOF1) of 8-bit samples, one
// component (grey) or three (YCbCr, or RGB where an Adobe marker or the
// component ids say so) in one interleaved scan, sampling factors 1 to 4
// that divide the largest, restart intervals. Everything else, and bytes
// that are cut short or do not add up, is "not handled": the caller then
// decodes with the system's codec. The bytes are a user's file: nothing here
// reads outside them or trusts a size they declare.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace numerabo {

// The picture's size from the headers alone (up to the start of its
// entropy-coded data), without decoding. False when the bytes are no JPEG
// this decoder handles; width and height are then untouched.
bool ReducedJpegSize(const uint8_t* bytes, size_t size, int32_t* width, int32_t* height);

struct ReducedJpeg {
  int32_t width = 0;   // ceil(picture width / reduction)
  int32_t height = 0;  // ceil(picture height / reduction)
  std::vector<uint8_t> pixels;  // rows of width * 4 bytes: blue, green, red, 0
  uint64_t helperMcus = 0;  // MCUs of the picture whose codes the helper read
};

// A second thread for the decoder, made by the caller (threads are the
// platform's). Neither call throws.
class DecodeHelper {
 public:
  // Runs job(context) on another thread; false when none could be started.
  virtual bool Start(void (*job)(void*), void* context) = 0;
  // Returns once the job started last has ended.
  virtual void Wait() = 0;

 protected:
  ~DecodeHelper() = default;
};

// Decodes at 1/reduction (2, 4 or 8). False, with out emptied, for anything
// not handled, cut short or corrupt, and when memory runs out (allocation
// failures are caught here). With a helper, a scan without restart markers
// is read from its start and from its middle at once, on two cores in a
// little over half the time; the picture is the same, and where the helper
// cannot start or run, it is read from its start alone.
bool DecodeReducedJpeg(const uint8_t* bytes, size_t size, int32_t reduction, ReducedJpeg* out,
                       DecodeHelper* helper = nullptr);

}  // namespace numerabo
