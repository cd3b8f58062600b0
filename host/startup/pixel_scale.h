// Twips and pixels at one display scale.
//
// A twip is 1/1440 inch, so at d dots per inch a pixel is 1440/d twips:
// 15 at 96, 12 at 120, 10 at 144, 7.5 at 192. The ratio is kept exact;
// a whole number of twips per pixel would be wrong at 192 dots per inch and
// at every other setting that does not divide 1440.
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
  // The exact twips of a pixel count.
  double Twips(double pixels) const;
  // A size in pixels as whole twips that convert back to the same pixels
  // (the exact value, rounded up where it has a fraction).
  int WholeTwips(int pixels) const;

 private:
  int dpi_;
};

}  // namespace numerabo
