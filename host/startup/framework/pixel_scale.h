// Twips and pixels at one display scale.
//
// A twip is 1/1440 inch, so at d dots per inch a pixel is 1440/d twips:
// 15 at 96, 12 at 120, 10 at 144, 8.57... at 168, 7.5 at 192, 6.66... at
// 216. The ratio is kept as exact as a double allows; a whole number of
// twips per pixel would be wrong at every setting that does not divide 1440.
#pragma once

namespace numerabo {

constexpr int kTwipsPerInch = 1440;
constexpr int kDesignDpi = 96;  // the scale the layout was drawn at

class PixelScale {
 public:
  // A setting that is not positive counts as the design scale.
  explicit PixelScale(int dpi = kDesignDpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}

  int Dpi() const { return dpi_; }

  // The pixel a twips position falls in, whole pixels toward zero: window
  // and control places and sizes, and drawn lines.
  int Pixels(double twips) const;
  // The nearest whole pixel, halves to the even one: the frame pieces of a
  // button's face.
  int NearestPixels(double twips) const;
  // The twips of a pixel count: the exact ratio where a double holds it,
  // otherwise the nearest double at or beyond it (away from zero), so that
  // Pixels() of the result always gives the same whole pixels back.
  double Twips(double pixels) const;
  // A size in pixels as whole twips that convert back to the same pixels
  // (the exact value, rounded up where it has a fraction).
  int WholeTwips(int pixels) const;

 private:
  int dpi_;
};

}  // namespace numerabo
