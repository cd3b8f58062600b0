// The body's shape, the band's vertices and the animation against their
// formulas.
#include <gtest/gtest.h>

#include <cmath>

#include "renderer/body_geometry.h"

namespace numerabo {
namespace {

const double kZero[4] = {0, 0, 0, 0};

TEST(RendererBodyGeometry, FirstFrameRingsFollowTheFormula) {
  for (int k = 0; k < kBodyRings; ++k) {
    const BodyRing ring = BodyRingAt(k, kZero);
    const double radius = (0.6 + 0.1 * std::sin(k / 2.0) + 0.2 * std::sin(k / 4.0)) * std::sin(k * M_PI / 32);
    EXPECT_NEAR(ring.radius, radius, 1e-6) << k;
    EXPECT_NEAR(ring.x, 0.2 * std::sin(k / 4.0), 1e-12) << k;
    EXPECT_NEAR(ring.y, 0.1 * std::sin(k / 2.0), 1e-12) << k;
    EXPECT_DOUBLE_EQ(ring.z, -2 + k * 0.125);
    EXPECT_DOUBLE_EQ(ring.t, k * 0.0625);
  }
  EXPECT_DOUBLE_EQ(BodyRingAt(32, kZero).z, 2.0);
  EXPECT_DOUBLE_EQ(BodyRingAt(32, kZero).t, 2.0);
  // The girth at the middle.
  EXPECT_NEAR(BodyRingAt(16, kZero).radius, 0.6 + 0.1 * std::sin(8.0) + 0.2 * std::sin(4.0), 1e-6);
}

TEST(RendererBodyGeometry, DistinctPhasesDriveTheirOwnWaves) {
  // Worked out apart from this code (double arithmetic, pi rounded to single
  // precision, 3.1415927410125732): a swapped pair of phases moves these by
  // hundredths. With the large phases, pi in double precision moves them by
  // about 1e-6, far beyond the tolerance.
  struct Case {
    double phase[4];
    int k;
    double radius, x, y;
  };
  const Case cases[] = {
      {{0.3, 1.7, 2.9, 3.1}, 5, 0.340622946960980, -0.075308652439993, 0.088490194103764},
      {{0.3, 1.7, 2.9, 3.1}, 16, 0.519095819625121, -0.001106108350280, 0.029847854432112},
      {{0.3, 1.7, 2.9, 3.1}, 27, 0.421101093640857, 0.077353409598372, -0.046185649576797},
      {{1000.25, 700.5, 900.75, 1010.125}, 5, 0.200412412967181, -0.192846074771344, -0.043063745409010},
      {{1000.25, 700.5, 900.75, 1010.125}, 16, 0.875702041273346, 0.198481127583245, -0.094194753266217},
      {{1000.25, 700.5, 900.75, 1010.125}, 27, 0.257156612733744, -0.174067081906349, -0.090442203664171},
  };
  for (const Case& c : cases) {
    const BodyRing ring = BodyRingAt(c.k, c.phase);
    EXPECT_NEAR(ring.radius, c.radius, 1e-12) << c.phase[0] << " k=" << c.k;
    EXPECT_NEAR(ring.x, c.x, 1e-12) << c.phase[0] << " k=" << c.k;
    EXPECT_NEAR(ring.y, c.y, 1e-12) << c.phase[0] << " k=" << c.k;
  }
}

TEST(RendererBodyGeometry, BodyClosesAtBothEndsWhateverThePhases) {
  const double phases[][4] = {{0, 0, 0, 0}, {0.3, 1.7, 2.9, 3.1}, {1023.9, 512.5, 77, 1000}, {1500, 1400, 1300, 1200}};
  for (const auto& phase : phases) {
    EXPECT_EQ(BodyRingAt(0, phase).radius, 0.0);
    EXPECT_NEAR(BodyRingAt(32, phase).radius, 0.0, 1e-6);  // single-precision pi leaves a trace
    for (int k = 1; k < 32; ++k) EXPECT_GT(BodyRingAt(k, phase).radius, 0.0) << k;
  }
}

TEST(RendererBodyGeometry, BandClosesAndShadesWithTheRadius) {
  const double z = 0.5, r = 0.4, t = 1.25, x = 0.1, y = -0.05;
  const BandVertex first = BandVertexAt(0, z, r, t, x, y);
  const BandVertex last = BandVertexAt(kBandSteps - 1, z, r, t, x, y);
  EXPECT_NEAR(first.x, last.x, 1e-6);
  EXPECT_NEAR(first.y, last.y, 1e-6);
  EXPECT_FLOAT_EQ(first.s, 0.0f);
  EXPECT_FLOAT_EQ(last.s, 2.0f);
  EXPECT_FLOAT_EQ(first.x, float(r + x));
  EXPECT_FLOAT_EQ(first.y, float(y));

  const BandVertex quarter = BandVertexAt(8, z, r, t, x, y);  // a quarter turn
  EXPECT_NEAR(quarter.x, x, 1e-6);
  EXPECT_NEAR(quarter.y, r + y, 1e-6);
  EXPECT_FLOAT_EQ(quarter.s, 0.5f);
  for (int j = 0; j < kBandSteps; ++j) {
    const BandVertex v = BandVertexAt(j, z, r, t, x, y);
    EXPECT_FLOAT_EQ(v.t, 1.25f);
    EXPECT_FLOAT_EQ(v.z, 0.5f);
    EXPECT_FLOAT_EQ(v.grey, 0.9f);
    EXPECT_NEAR(std::hypot(v.x - x, v.y - y), r, 1e-6);
  }
  EXPECT_FLOAT_EQ(BandVertexAt(3, 2, 0, 2, 0, 0).grey, 0.5f);  // the tips are darkest
}

TEST(RendererBodyGeometry, TurnReturnsAfterThirtySixSeconds) {
  SceneAnimation a;
  const float dt = 1.0f / 60;
  int wrappedAt = -1;
  for (int frame = 1; frame <= 36 * 60 + 1; ++frame) {
    const double before = a.spinAngle[0];
    AdvanceAnimation(a, dt);
    EXPECT_EQ(a.spinAngle[0], a.spinAngle[1]);
    EXPECT_EQ(a.spinAngle[1], a.spinAngle[2]);
    if (a.spinAngle[0] < before) {
      EXPECT_EQ(wrappedAt, -1);
      wrappedAt = frame;
    }
  }
  ASSERT_NE(wrappedAt, -1);
  EXPECT_NEAR(wrappedAt, 36 * 60, 1);
  EXPECT_LT(a.spinAngle[0], 0.5);
  // The waves ran on at their own rates: 4, 3, 5 and 2.8 per second.
  EXPECT_NEAR(a.wavePhase[0], 4 * 36.0167, 0.01);
  EXPECT_NEAR(a.wavePhase[1], 3 * 36.0167, 0.01);
  EXPECT_NEAR(a.wavePhase[2], 5 * 36.0167, 0.01);
  EXPECT_NEAR(a.wavePhase[3], 2.8 * 36.0167, 0.01);
}

TEST(RendererBodyGeometry, LongFrameTakesOneWrapAndComesDownLater) {
  SceneAnimation a;
  AdvanceAnimation(a, 600);  // ten minutes in one frame
  EXPECT_DOUBLE_EQ(a.wavePhase[0], 2400 - 1024.0);
  EXPECT_DOUBLE_EQ(a.wavePhase[1], 1800 - 1024.0);
  EXPECT_DOUBLE_EQ(a.wavePhase[2], 3000 - 1024.0);
  EXPECT_NEAR(a.wavePhase[3], 1680 - 1024.0, 1e-9);
  EXPECT_DOUBLE_EQ(a.spinAngle[0], 6000 - 360.0);

  const SceneAnimation before = a;
  AdvanceAnimation(a, 0.0f);
  EXPECT_NEAR(a.wavePhase[0], 1376 - 1024.0, 1e-9);
  EXPECT_DOUBLE_EQ(a.wavePhase[1], 776.0);
  EXPECT_DOUBLE_EQ(a.wavePhase[2], 1976 - 1024.0);
  EXPECT_DOUBLE_EQ(a.spinAngle[0], 5640 - 360.0);
  // Taking 1024 off a phase leaves the body where it was.
  for (int k = 0; k < kBodyRings; ++k) {
    const BodyRing p = BodyRingAt(k, before.wavePhase);
    const BodyRing q = BodyRingAt(k, a.wavePhase);
    EXPECT_NEAR(p.radius, q.radius, 1e-4) << k;
    EXPECT_NEAR(p.x, q.x, 1e-4) << k;
    EXPECT_NEAR(p.y, q.y, 1e-4) << k;
  }
  for (int i = 0; i < 20; ++i) AdvanceAnimation(a, 0.0f);
  for (double angle : a.spinAngle) EXPECT_LE(angle, 360.0);
}

TEST(RendererBodyGeometry, ClockInSeconds) {
  EXPECT_FLOAT_EQ(CounterSeconds(1000, 1000 + 2500000, 10000000), 0.25f);
  // Ten hours at a 10 MHz counter still resolves to well under a frame.
  const long long tenHours = 36000LL * 10000000;
  EXPECT_NEAR(CounterSeconds(5, 5 + tenHours, 10000000), 36000.0f, 0.01f);
  EXPECT_EQ(CounterSeconds(0, 12345, 0), 0.0f);
}

}  // namespace
}  // namespace numerabo
