// The show: a pink-tinted sphere around the viewer carrying the built-in
// picture, and inside it a long wobbling body of revolution carrying the
// desktop, all turning about the three axes.
#pragma once

#include <string>

namespace numerabo {

// Kept by the program's frame (window size messages and the clock).
extern int clientWidth;
extern int clientHeight;
extern float frameSeconds;

// Projection, camera, both textures (Numerabo1.BMP and Numerabo2.BMP in
// bitmapFolder) and the fixed GL state; always true.
bool InitScene(const std::wstring& bitmapFolder);
// One frame into the back buffer, then the animation moves on by frameSeconds.
void DrawFrame();
void DrawBackdropSphere();
void DrawBodyBand(double z0, double z1, double r0, double r1, double t0, double t1, double x0, double x1, double y0,
                  double y1);

}  // namespace numerabo
