// The reduced JPEG decoder against libjpeg-turbo's own scaled decoding
// (djpeg -scale 1/r -nosmooth: chroma repeated where it is not scaled, as
// here), on files cjpeg makes at run time, and on damaged
// bytes, which must never be read outside nor give a picture of another size.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "host/saver/jpeg_reduced.h"

namespace numerabo {
namespace {

struct Picture {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A PPM, or a PGM (djpeg's output for grey) spread to three channels.
Picture ReadPpm(const std::string& path) {
  Picture picture;
  FILE* in = std::fopen(path.c_str(), "rb");
  int maxValue = 0;
  char kind = 0;
  if (in && std::fscanf(in, "P%c %d %d %d", &kind, &picture.width, &picture.height, &maxValue) == 4 &&
      maxValue == 255 && (kind == '5' || kind == '6') && std::fgetc(in) != EOF) {
    const size_t pixels = static_cast<size_t>(picture.width) * picture.height;
    std::vector<uint8_t> samples(kind == '6' ? pixels * 3 : pixels);
    if (std::fread(samples.data(), 1, samples.size(), in) == samples.size()) {
      for (size_t i = 0; i < samples.size(); ++i) {
        for (int copies = kind == '6' ? 1 : 3; copies > 0; --copies) picture.rgb.push_back(samples[i]);
      }
    }
  }
  if (in) std::fclose(in);
  return picture;
}

// The decoder's second thread for the first `starts` jobs; later ones fail
// to start, as where the platform makes no more threads. Immediate: a job
// has ended when Start returns (a helper far faster than the decoder). Held
// back: a job runs only once waited for (a helper that never gets the
// processor).
class TestHelper : public DecodeHelper {
 public:
  enum class Mode { Thread, Immediate, HeldBack };
  explicit TestHelper(int starts, Mode mode = Mode::Thread) : starts_(starts), mode_(mode) {}
  ~TestHelper() { Wait(); }
  bool Start(void (*job)(void*), void* context) override {
    if (starts_-- <= 0) return false;
    if (mode_ != Mode::Thread) {
      job_ = job;
      context_ = context;
      if (mode_ == Mode::Immediate) Wait();
      return true;
    }
    try {
      thread_ = std::thread(job, context);
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }
  void Wait() override {
    if (thread_.joinable()) thread_.join();
    if (job_) job_(context_);
    job_ = nullptr;
  }

 private:
  int starts_;
  Mode mode_;
  std::thread thread_;
  void (*job_)(void*) = nullptr;
  void* context_ = nullptr;
};

// Decodes alone, and with helpers of every kind: on its own thread, done at
// once, held back, running only its first job, never starting. The same
// outcome and the same pixels every time. Returns the MCUs the helper done
// at once supplied.
uint64_t ExpectSameWithHelper(const std::vector<uint8_t>& bytes, int32_t reduction, const std::string& what) {
  ReducedJpeg alone;
  const bool decoded = DecodeReducedJpeg(bytes.data(), bytes.size(), reduction, &alone);
  const struct {
    int starts;
    TestHelper::Mode mode;
  } helpers[] = {{1000, TestHelper::Mode::Thread},
                 {1000, TestHelper::Mode::Immediate},
                 {1000, TestHelper::Mode::HeldBack},
                 {1, TestHelper::Mode::Immediate},
                 {0, TestHelper::Mode::Thread}};
  uint64_t immediate = 0;
  for (const auto& kind : helpers) {
    TestHelper helper(kind.starts, kind.mode);
    ReducedJpeg helped;
    const std::string which = what + " (helper " + std::to_string(&kind - helpers) + ")";
    EXPECT_EQ(DecodeReducedJpeg(bytes.data(), bytes.size(), reduction, &helped, &helper), decoded) << which;
    EXPECT_TRUE(helped.pixels == alone.pixels) << which;
    if (kind.mode == TestHelper::Mode::HeldBack || kind.starts == 0) {
      EXPECT_EQ(helped.helperMcus, 0u) << which;
    }
    if (kind.mode == TestHelper::Mode::Immediate && kind.starts > 1) immediate = helped.helperMcus;
  }
  return immediate;
}

class JpegReducedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v cjpeg >/dev/null 2>&1 && command -v djpeg >/dev/null 2>&1") != 0) {
      GTEST_SKIP() << "cjpeg and djpeg (libjpeg-turbo-progs) are not installed";
    }
    char folder[] = "/tmp/numerabo-jpeg-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
  }
  void TearDown() override {
    if (!folder_.empty()) std::system(("rm -rf '" + folder_ + "'").c_str());
  }

  // A photo-like picture: smooth gradients of every channel, a sharp-edged
  // disc of another hue, and a fine texture (noisy: a pseudo-random one, a
  // phone photo's grain, whose data is full of 0xFF), written as a PPM and
  // coded with cjpeg's options.
  std::vector<uint8_t> MakeJpeg(int32_t width, int32_t height, const std::string& options, bool noisy = false) {
    const std::string ppm = folder_ + "/in.ppm", jpeg = folder_ + "/in.jpg";
    FILE* out = std::fopen(ppm.c_str(), "wb");
    std::fprintf(out, "P6\n%d %d\n255\n", width, height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const int32_t dx = x - width / 2, dy = y - height / 2;
        const bool disc = dx * dx + dy * dy < width * height / 8;
        const uint32_t grain = (static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u * 65537u);
        const int texture = noisy ? static_cast<int>((grain * 2246822519u) >> 26) : ((x * 7 + y * 13) % 11) * 2;
        std::fputc(disc ? 200 : 40 + 160 * x / width + texture, out);
        std::fputc(disc ? 60 : 30 + 180 * y / height, out);
        std::fputc(disc ? 90 : 220 - 150 * (x + y) / (width + height) + texture, out);
      }
    }
    std::fclose(out);
    EXPECT_EQ(std::system(("cjpeg " + options + " -outfile '" + jpeg + "' '" + ppm + "'").c_str()), 0);
    return ReadFile(jpeg);
  }

  Picture Djpeg(int32_t reduction) {
    const std::string ppm = folder_ + "/out.ppm";
    const std::string command =
        "djpeg -scale 1/" + std::to_string(reduction) + " -nosmooth -ppm -outfile '" + ppm + "' '" + folder_ + "/in.jpg'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return ReadPpm(ppm);
  }

  std::string folder_;
};

TEST_F(JpegReducedTest, MatchesLibjpegScaledDecoding) {
  struct Case {
    const char* name;
    int32_t width, height;
    const char* options;
  };
  const Case cases[] = {
      {"grey", 96, 64, "-grayscale -quality 90"},
      {"4:4:4", 96, 64, "-sample 1x1 -quality 90"},
      {"4:2:2", 96, 64, "-sample 2x1 -quality 90"},
      {"4:2:0", 96, 64, "-sample 2x2 -quality 90"},
      {"4:2:0 odd size", 37, 23, "-sample 2x2 -quality 90"},
      {"4:4:4 odd size", 37, 23, "-sample 1x1 -quality 95"},
      {"4:2:0 quality 50", 120, 80, "-sample 2x2 -quality 50"},
      {"4:2:0 quality 95", 120, 80, "-sample 2x2 -quality 95"},
      {"restart every row", 120, 80, "-sample 2x2 -restart 1"},
      {"restart every MCU", 77, 45, "-sample 2x1 -restart 1B"},
      {"16-bit quantisers (SOF1)", 64, 48, "-sample 2x2 -quality 3"},
      {"RGB (Adobe marker)", 64, 48, "-rgb -quality 90"},
      {"vertical 1x2", 64, 48, "-sample 1x2 -quality 90"},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> jpeg = MakeJpeg(c.width, c.height, c.options);
    int32_t width = 0, height = 0;
    EXPECT_TRUE(ReducedJpegSize(jpeg.data(), jpeg.size(), &width, &height)) << c.name;
    EXPECT_EQ(width, c.width) << c.name;
    EXPECT_EQ(height, c.height) << c.name;
    for (const int32_t reduction : {2, 4, 8}) {
      const Picture expected = Djpeg(reduction);
      ReducedJpeg decoded;
      ASSERT_TRUE(DecodeReducedJpeg(jpeg.data(), jpeg.size(), reduction, &decoded)) << c.name << " 1/" << reduction;
      ASSERT_EQ(decoded.width, expected.width) << c.name << " 1/" << reduction;
      ASSERT_EQ(decoded.height, expected.height) << c.name << " 1/" << reduction;
      ASSERT_EQ(decoded.pixels.size(), expected.rgb.size() / 3 * 4);
      int64_t sum = 0;
      int worst = 0;
      for (size_t i = 0; i < expected.rgb.size() / 3; ++i) {
        for (int channel = 0; channel < 3; ++channel) {
          const int difference = std::abs(decoded.pixels[i * 4 + 2 - channel] - expected.rgb[i * 3 + channel]);
          sum += difference;
          worst = std::max(worst, difference);
        }
      }
      const double mean = static_cast<double>(sum) / static_cast<double>(expected.rgb.size());
      if (std::getenv("NUMERABO_JPEG_REPORT")) std::printf("%-26s 1/%d mean %.2f max %d\n", c.name, reduction, mean, worst);
      // Measured: mean at most 1.7 and largest 24 on whole MCUs; up to 3.2
      // on 37 x 23, where the edge pixels make up much of a 5 x 3 picture.
      EXPECT_LE(mean, 3.5) << c.name << " 1/" << reduction;
      EXPECT_LE(worst, 30) << c.name << " 1/" << reduction;
    }
  }
}

// At 1/8 a block of a picture not subsampled gives its DC alone, which is
// right only where every code before it was read right: on noisy data
// (stuffing everywhere, codes up to 16 bits, values up to 10) the picture
// is libjpeg's exactly, with the helper too.
TEST_F(JpegReducedTest, NoisyDataIsReadCodeForCode) {
  for (const char* options : {"-grayscale -quality 95", "-sample 1x1 -quality 90"}) {
    const std::vector<uint8_t> jpeg = MakeJpeg(200, 136, options, true);
    const Picture expected = Djpeg(8);
    ReducedJpeg decoded;
    ASSERT_TRUE(DecodeReducedJpeg(jpeg.data(), jpeg.size(), 8, &decoded)) << options;
    ASSERT_EQ(decoded.pixels.size(), expected.rgb.size() / 3 * 4) << options;
    for (size_t i = 0; i < expected.rgb.size() / 3; ++i) {
      for (int channel = 0; channel < 3; ++channel) {
        ASSERT_EQ(decoded.pixels[i * 4 + 2 - channel], expected.rgb[i * 3 + channel]) << options << " pixel " << i;
      }
    }
    EXPECT_GT(ExpectSameWithHelper(jpeg, 8, options), 0u) << options;
  }
}

// Every cut and every damaged byte: either refused, or a picture of the
// size the header declares (ASan watches every read).
TEST_F(JpegReducedTest, DamagedBytesAreRefusedOrKeepTheirSize) {
  const std::vector<uint8_t> jpeg = MakeJpeg(40, 24, "-sample 2x2 -restart 1B -quality 80");
  ASSERT_GT(jpeg.size(), 200u);
  const auto check = [](const std::vector<uint8_t>& bytes, const std::string& what) {
    for (const int32_t reduction : {2, 8}) {
      ReducedJpeg decoded;
      if (DecodeReducedJpeg(bytes.data(), bytes.size(), reduction, &decoded)) {
        int32_t width = 0, height = 0;
        ASSERT_TRUE(ReducedJpegSize(bytes.data(), bytes.size(), &width, &height)) << what;
        EXPECT_EQ(decoded.width, (width + reduction - 1) / reduction) << what;
        EXPECT_EQ(decoded.height, (height + reduction - 1) / reduction) << what;
        EXPECT_EQ(decoded.pixels.size(), static_cast<size_t>(decoded.width) * decoded.height * 4) << what;
      } else {
        EXPECT_TRUE(decoded.pixels.empty()) << what;
      }
    }
  };
  for (size_t cut = 0; cut < jpeg.size(); ++cut) {
    // A copy of exactly cut bytes, so ASan sees any read past them.
    const std::vector<uint8_t> bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(cut));
    check(bytes, "cut at " + std::to_string(cut));
    if (cut + 2 < jpeg.size()) {  // the last bytes are the end marker, which nothing reads
      ReducedJpeg decoded;
      EXPECT_FALSE(DecodeReducedJpeg(bytes.data(), bytes.size(), 4, &decoded) && cut < jpeg.size() / 2)
          << "cut at " << cut;
    }
  }
  for (size_t at = 0; at < jpeg.size(); ++at) {
    for (const uint8_t flip : {0x01, 0x80, 0xFF}) {
      std::vector<uint8_t> bytes = jpeg;
      bytes[at] ^= flip;
      check(bytes, "byte " + std::to_string(at) + " ^ " + std::to_string(flip));
    }
  }
}

// The helper's reading from the middle of the data is used only where its
// MCUs line up with the reading from the start: on a large enough picture
// it takes over, and never changes a pixel.
TEST_F(JpegReducedTest, HelperThreadGivesTheSamePicture) {
  struct Case {
    const char* name;
    int32_t width, height;
    const char* options;
    bool noisy, helped;  // helped: the helper's MCUs must be used at 1/2 and 1/4
  };
  const Case cases[] = {
      {"4:2:0 noisy", 512, 384, "-sample 2x2 -quality 90", true, true},
      {"4:4:4", 400, 304, "-sample 1x1 -quality 90", false, true},
      {"4:2:2 noisy", 336, 208, "-sample 2x1 -quality 75", true, true},
      {"grey noisy", 256, 256, "-grayscale -quality 95", true, true},
      {"restart every row (not split)", 256, 128, "-sample 2x2 -restart 1", true, false},
      {"below the smallest split", 48, 40, "-sample 2x2", true, false},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> jpeg = MakeJpeg(c.width, c.height, c.options, c.noisy);
    for (const int32_t reduction : {2, 4, 8}) {
      const std::string what = std::string(c.name) + " 1/" + std::to_string(reduction);
      const uint64_t helped = ExpectSameWithHelper(jpeg, reduction, what);
      if (c.helped && reduction < 8) {
        EXPECT_GT(helped, 0u) << what;
      } else if (!c.helped) {
        EXPECT_EQ(helped, 0u) << what;
      }
    }
  }
}

// Damaged data read by the helper, markers and stuffing at every place of
// the reader's eight-byte refill included: the outcome and the picture are
// those of the reading alone.
TEST_F(JpegReducedTest, DamagedBytesGiveTheSameOutcomeWithTheHelper) {
  const std::vector<uint8_t> jpeg = MakeJpeg(32, 32, "-sample 1x1 -quality 98", true);
  size_t scan = 0, stuffing = 0;
  for (size_t at = 0; at + 1 < jpeg.size(); ++at) {
    if (jpeg[at] == 0xFF && jpeg[at + 1] == 0xDA && scan == 0) scan = at;
    stuffing += jpeg[at] == 0xFF && jpeg[at + 1] == 0;
  }
  ASSERT_GT(scan, 0u);
  ASSERT_GE(stuffing, 4u);
  EXPECT_GT(ExpectSameWithHelper(jpeg, 2, "whole"), 0u);  // the helper's reading is used where nothing is damaged
  for (size_t cut = scan; cut < jpeg.size(); cut += 5) {
    const std::vector<uint8_t> bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(cut));
    ExpectSameWithHelper(bytes, 2, "cut at " + std::to_string(cut));
  }
  for (size_t at = scan; at < jpeg.size(); ++at) {
    for (const uint8_t flip : {0x10, 0xFF}) {
      if (flip == 0x10 && at % 5 != 0) continue;  // the codes' damage; every byte made a marker or stuffing
      std::vector<uint8_t> bytes = jpeg;
      bytes[at] ^= flip;
      ExpectSameWithHelper(bytes, at % 2 ? 2 : 4, "byte " + std::to_string(at) + " ^ " + std::to_string(flip));
    }
  }
}

TEST_F(JpegReducedTest, RefusesWhatItDoesNotDecode) {
  const std::vector<uint8_t> progressive = MakeJpeg(64, 48, "-progressive");
  const std::vector<uint8_t> arithmetic = MakeJpeg(64, 48, "-arithmetic");
  std::vector<uint8_t> huge = MakeJpeg(64, 48, "-sample 2x2");
  // The frame header's height and width set to 65535: the data is far too
  // short for that, so nothing of that size may be allocated or decoded.
  for (size_t at = 0; at + 9 < huge.size(); ++at) {
    if (huge[at] == 0xFF && huge[at + 1] == 0xC0) {
      for (int i = 5; i < 9; ++i) huge[at + i] = 0xFF;
      break;
    }
  }
  int32_t width = 0, height = 0;
  ASSERT_TRUE(ReducedJpegSize(huge.data(), huge.size(), &width, &height));
  EXPECT_EQ(width, 65535);
  const std::vector<uint8_t> empty;
  const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const std::vector<uint8_t>* refused[] = {&progressive, &arithmetic, &huge, &empty, &png};
  for (const std::vector<uint8_t>* bytes : refused) {
    for (const int32_t reduction : {1, 2, 3, 4, 8, 16}) {
      ReducedJpeg decoded;
      EXPECT_FALSE(DecodeReducedJpeg(bytes->data(), bytes->size(), reduction, &decoded));
      EXPECT_EQ(decoded.width, 0);
    }
  }
  EXPECT_FALSE(ReducedJpegSize(progressive.data(), progressive.size(), &width, &height));
  EXPECT_FALSE(ReducedJpegSize(arithmetic.data(), arithmetic.size(), &width, &height));
}

}  // namespace
}  // namespace numerabo
