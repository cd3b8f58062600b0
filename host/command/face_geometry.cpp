#include "host/command/face_geometry.h"

#include <cmath>
#include <cstring>

namespace numerabo {
namespace {

// Stores value rounded (halves to even) into target when it fits in 16 bits.
void StoreRounded(int16_t& target, float value) {
  float r = std::nearbyint(value);
  if (!(r >= -32768.0f && r <= 32767.0f)) return;  // also rejects NaN
  target = static_cast<int16_t>(r);
}

// The whole pixels from one edge to the other of a span of twips.
void Span(const PixelScale& scale, int startTw, int lengthTw, int& start, int& length) {
  start = scale.NearestPixels(startTw);
  length = scale.NearestPixels(startTw + lengthTw) - start;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void UpdateFaceGeometry(FaceGeometry& g, float widthTw, float heightTw) {
  StoreRounded(g.InnerWidth, widthTw - 2 * kFrame);
  StoreRounded(g.RightX, widthTw - kFrame);
  StoreRounded(g.InnerHeight, heightTw - 2 * kFrame);
  StoreRounded(g.BottomY, heightTw - kFrame);
}

std::array<FacePiece, 8> FramePieces(const FaceGeometry& g) {
  const int f = kFrame, mw = kPictureMiddleWidth, mh = kPictureMiddleHeight;
  const int rc = kPictureRightColumn, br = kPictureBottomRow;
  // The 1-twip offsets are below a pixel and vanish on conversion.
  return {{
      {1, 1, f, f, 0, 0, f, f},
      {f, 1, g.InnerWidth, f, f, 1, mw, f},
      {g.RightX, 1, f, f, rc, 1, f, f},
      {g.RightX, f, f, g.InnerHeight, rc, f, f, mh},
      {g.RightX, g.BottomY, f, f, rc, br, f, f},
      {f, g.BottomY, g.InnerWidth, f, f, br, mw, f},
      {1, g.BottomY, f, f, 0, br, f, f},
      {1, f, f, g.InnerHeight, 1, f, f, mh},
  }};
}

float CaptionTop(float heightTw, float labelHeightTw) {
  return (heightTw - labelHeightTw - 20.0f) / 2.0f;
}

// The state pictures are drawn at the design scale, whatever the screen's.
const PixelScale kPictureScale(kDesignDpi);

int TwipsToPixels(double twips) { return kPictureScale.NearestPixels(twips); }

std::array<PiecePixels, 8> FramePiecePixels(const FaceGeometry& g, const PixelScale& across,
                                            const PixelScale& down) {
  std::array<PiecePixels, 8> out{};
  const auto pieces = FramePieces(g);
  for (size_t i = 0; i < pieces.size(); ++i) {
    const FacePiece& p = pieces[i];
    PixelRect& d = out[i].dest;
    PixelRect& s = out[i].src;
    Span(across, p.destX, p.destWidth, d.x, d.width);
    Span(down, p.destY, p.destHeight, d.y, d.height);
    Span(kPictureScale, p.srcX, p.srcWidth, s.x, s.width);
    Span(kPictureScale, p.srcY, p.srcHeight, s.y, s.height);
  }
  return out;
}

bool ParseGradientColour(const char* text, uint16_t& red, uint16_t& green, uint16_t& blue) {
  if (text == nullptr || std::strlen(text) != 8 || text[0] != '&' || (text[1] != 'H' && text[1] != 'h'))
    return false;
  uint16_t* channels[3] = {&red, &green, &blue};
  uint16_t values[3];
  for (int i = 0; i < 3; ++i) {
    int hi = HexDigit(text[2 + 2 * i]), lo = HexDigit(text[3 + 2 * i]);
    if (hi < 0 || lo < 0) return false;
    values[i] = static_cast<uint16_t>((hi * 16 + lo) << 8);
  }
  for (int i = 0; i < 3; ++i) *channels[i] = values[i];
  return true;
}

std::array<GradientVertex, 2> GradientVertices(int surfaceWidthPx, int surfaceHeightPx, bool reversed) {
  GradientVertex white{0, 0, 0, 0, 0, 0}, lavender{0, 0, 0, 0, 0, 0};
  ParseGradientColour(kGradientWhite, white.red, white.green, white.blue);
  ParseGradientColour(kGradientLavender, lavender.red, lavender.green, lavender.blue);
  GradientVertex a = reversed ? lavender : white;
  GradientVertex b = reversed ? white : lavender;
  a.x = 0;
  a.y = 0;
  b.x = surfaceWidthPx - 1;
  b.y = surfaceHeightPx - 1;
  return {{a, b}};
}

}  // namespace numerabo
