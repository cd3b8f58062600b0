#include "host/startup/pixel_scale.h"

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

double PixelScale::Twips(double pixels) const { return pixels * kTwipsPerInch / dpi_; }

int PixelScale::WholeTwips(int pixels) const {
  const long long scaled = static_cast<long long>(pixels) * kTwipsPerInch;
  // Division truncates toward zero, which is upward for negative sizes.
  if (scaled <= 0) return static_cast<int>(scaled / dpi_);
  return static_cast<int>((scaled + dpi_ - 1) / dpi_);
}

}  // namespace numerabo
