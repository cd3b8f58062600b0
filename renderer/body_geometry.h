// The arithmetic of the scene: where the body's rings lie, what each vertex
// of a band gets, and how the animation moves on. No GL here, so the shapes
// can be checked against their formulas natively.
#pragma once

namespace numerabo {

// The show has always used single-precision pi; the constants keep its
// rounding so the body wobbles exactly as it always has.
constexpr float kPi = 3.14159265358979f;
constexpr float kPiOver16 = 0.19634955f;
constexpr float kPiOver32 = 0.09817477f;

constexpr int kBodyRings = 33;      // 32 bands between them
constexpr int kBandSteps = 33;      // around a band; the last closes it
constexpr double kPhaseWrap = 1024; // 256 whole turns of the slowest wave
constexpr double kAngleWrap = 360;

struct SceneAnimation {
  double wavePhase[4] = {0, 0, 0, 0};  // phi1 .. phi4
  double spinAngle[3] = {0, 0, 0};     // degrees about x, y, z
};

struct BodyRing {
  double z;       // depth along the model's z axis
  double radius;  // 0 at both ends: the body closes to a point
  double x, y;    // centre of the ring
  double t;       // texture row
};

// Ring k (0 .. 32) for the given wave phases.
BodyRing BodyRingAt(int k, const double (&wavePhase)[4]);

struct BandVertex {
  float s, t;
  float grey;  // colour of all three channels; OpenGL clamps it to 1
  float x, y, z;
};

// Vertex j (0 .. 32) on the ring described by the band's per-ring arguments.
BandVertex BandVertexAt(int j, double z, double radius, double t, double x, double y);

// One frame's step of dt seconds: the waves and the turn move on, and each
// value that has passed its wrap has it taken off once.
void AdvanceAnimation(SceneAnimation& animation, float dt);

// Seconds between two performance-counter readings, as the clock keeps them.
float CounterSeconds(long long start, long long now, long long frequency);

}  // namespace numerabo
