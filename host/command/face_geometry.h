// Where the pieces of a face go, and the gradient under them.
//
// A face is the 4-pixel frame of a 64 x 25 state picture laid around the
// control's edges (edges stretched along their length only, the middle of
// the picture never drawn) over a vertical white/lavender gradient, with
// the caption just above the vertical middle. Positions are twips, except
// the gradient's, which are surface pixels. The state pictures are drawn
// for 96 dots per inch, so their twips are picture pixels at 15 twips each
// whatever the screen's scale; the places on the surface follow the screen.
#pragma once

#include <array>
#include <cstdint>

#include "host/startup/framework/pixel_scale.h"

namespace numerabo {

// State picture layout, in twips.
constexpr int kPictureWidth = 960;
constexpr int kPictureHeight = 375;
constexpr int kFrame = 60;
constexpr int kPictureMiddleWidth = 840;
constexpr int kPictureMiddleHeight = 255;
constexpr int kPictureRightColumn = 900;
constexpr int kPictureBottomRow = 315;

// The size-dependent values of the last face drawn. Each one is a 16-bit
// twips value; one that would not fit keeps what it was, so an absurd size
// leaves the previous layout in place instead of wrapping around.
struct FaceGeometry {
  int16_t InnerWidth = 0;   // W - 120
  int16_t RightX = 0;       // W - 60
  int16_t InnerHeight = 0;  // H - 120
  int16_t BottomY = 0;      // H - 60
};

void UpdateFaceGeometry(FaceGeometry& g, float widthTw, float heightTw);

// One copy from the state picture onto the surface, all in twips.
struct FacePiece {
  int destX, destY, destWidth, destHeight;
  int srcX, srcY, srcWidth, srcHeight;
};

// The eight frame pieces in drawing order: top-left corner, top edge,
// top-right corner, right edge, bottom-right corner, bottom edge,
// bottom-left corner, left edge.
std::array<FacePiece, 8> FramePieces(const FaceGeometry& g);

// Top of the caption label: its centred text then sits 10 twips above the
// control's vertical middle.
float CaptionTop(float heightTw, float labelHeightTw);

// Twips of a state picture to whole picture pixels, halves to even.
int TwipsToPixels(double twips);

struct PixelRect {
  int x, y, width, height;
};

// One frame piece in pixels: where it lands on the surface and what it
// takes from the picture.
struct PiecePixels {
  PixelRect dest, src;
};

// The frame pieces in pixels, destinations at the screen's scale across and
// down. A rectangle is converted by its edges, not by its size, so the pieces
// meet without a gap or an overlap at any scale; at 96 dots per inch this
// gives exactly the picture's own pixels.
std::array<PiecePixels, 8> FramePiecePixels(const FaceGeometry& g, const PixelScale& across,
                                            const PixelScale& down);

// A vertex as the platform's gradient fill takes it: each 16-bit channel
// carries the 8-bit colour in its high byte.
struct GradientVertex {
  int32_t x, y;
  uint16_t red, green, blue, alpha;
};

// The two gradient colours as the program writes them: "&H" and then red,
// green and blue as two hex digits each, in that order.
constexpr const char* kGradientWhite = "&HFFFFFF";
constexpr const char* kGradientLavender = "&HC6C5D7";

// Reads such a text into 16-bit channels; false when it is malformed.
bool ParseGradientColour(const char* text, uint16_t& red, uint16_t& green, uint16_t& blue);

// Top-left and bottom-right vertices for a surface of the given pixel size:
// white over lavender, or the other way round when reversed.
std::array<GradientVertex, 2> GradientVertices(int surfaceWidthPx, int surfaceHeightPx, bool reversed);

}  // namespace numerabo
