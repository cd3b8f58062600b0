#include "renderer/scene.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include "renderer/bitmap_texture.h"
#include "renderer/body_geometry.h"

namespace numerabo {
namespace {

struct Scene {
  GLUquadric* sphereQuadric = nullptr;
  SceneAnimation animation;
};
Scene scene;

void EmitBandVertex(const BandVertex& v) {
  glTexCoord2f(v.s, v.t);
  glColor3f(v.grey, v.grey, v.grey);
  glVertex3f(v.x, v.y, v.z);
}

}  // namespace

bool InitScene(const std::wstring& bitmapFolder) {
  glViewport(0, 0, clientWidth, clientHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // The window is fixed at 1024 x 768, but a zero height must not turn the
  // projection into infinities.
  gluPerspective(55, static_cast<double>(clientWidth) / (clientHeight ? clientHeight : 1), 1, 20);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0, 0, -3);
  glClearColor(0, 0, 0, 0);

  // A file that fails to load leaves its texture without an image; the
  // geometry then shows its vertex colours alone.
  bodyTexture.Load((bitmapFolder + L"\\Numerabo1.BMP").c_str());
  sphereTexture.Load((bitmapFolder + L"\\Numerabo2.BMP").c_str());

  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  scene.sphereQuadric = gluNewQuadric();
  gluQuadricTexture(scene.sphereQuadric, GL_TRUE);
  return true;
}

void DrawBackdropSphere() {
  sphereTexture.Bind();
  glColor3f(0.7f, 0.4f, 0.5f);
  gluSphere(scene.sphereQuadric, 3.5, 16, 16);
}

void DrawBodyBand(double z0, double z1, double r0, double r1, double t0, double t1, double x0, double x1, double y0,
                  double y1) {
  bodyTexture.Bind();
  glBegin(GL_TRIANGLE_STRIP);
  for (int j = 0; j < kBandSteps; ++j) {
    EmitBandVertex(BandVertexAt(j, z0, r0, t0, x0, y0));
    EmitBandVertex(BandVertexAt(j, z1, r1, t1, x1, y1));
  }
  glEnd();
}

void DrawFrame() {
  SceneAnimation& a = scene.animation;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  glRotatef(static_cast<float>(a.spinAngle[0]), 1, 0, 0);
  glRotatef(static_cast<float>(a.spinAngle[1]), 0, 1, 0);
  glRotatef(static_cast<float>(a.spinAngle[2]), 0, 0, 1);
  DrawBackdropSphere();

  BodyRing rings[kBodyRings];
  for (int k = 0; k < kBodyRings; ++k) rings[k] = BodyRingAt(k, a.wavePhase);
  for (int i = 0; i + 1 < kBodyRings; ++i) {
    const BodyRing& p = rings[i];
    const BodyRing& q = rings[i + 1];
    DrawBodyBand(p.z, q.z, p.radius, q.radius, p.t, q.t, p.x, q.x, p.y, q.y);
  }

  AdvanceAnimation(a, frameSeconds);
  glPopMatrix();
}

}  // namespace numerabo
