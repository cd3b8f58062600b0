#include "host/startup/framework/pixel_scale.h"

#include <cmath>

namespace numerabo {

// twips * dpi is exact in a double for any twips the host uses, so the one
// division below is the only rounding: a position that lies exactly on a
// pixel edge is never taken for the pixel before it.
int PixelScale::Pixels(double twips) const {
  return static_cast<int>(twips * dpi_ / kTwipsPerInch);
}

int PixelScale::NearestPixels(double twips) const {
  return static_cast<int>(std::nearbyint(twips * dpi_ / kTwipsPerInch));
}

// 1440 / d has no exact double at settings such as 168 and 216 dots per
// inch, and the rounded quotient can fall a hair short of the pixel edge,
// where Pixels() would truncate it to the pixel before. Stepping away from
// zero one representable value at a time until the edge is reached costs at
// most a step or two and keeps the result within an ulp or so of the exact
// ratio.
double PixelScale::Twips(double pixels) const {
  double twips = pixels * kTwipsPerInch / dpi_;
  const double away = pixels < 0 ? -HUGE_VAL : HUGE_VAL;
  while (std::fabs(twips * dpi_ / kTwipsPerInch) < std::fabs(pixels)) twips = std::nextafter(twips, away);
  return twips;
}

int PixelScale::WholeTwips(int pixels) const {
  const long long scaled = static_cast<long long>(pixels) * kTwipsPerInch;
  // Division truncates toward zero, which is upward for negative sizes.
  if (scaled <= 0) return static_cast<int>(scaled / dpi_);
  return static_cast<int>((scaled + dpi_ - 1) / dpi_);
}

}  // namespace numerabo
