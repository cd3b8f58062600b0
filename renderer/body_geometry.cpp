#include "renderer/body_geometry.h"

#include <cmath>

namespace numerabo {

BodyRing BodyRingAt(int k, const double (&phase)[4]) {
  const double pi = kPi;
  BodyRing ring;
  ring.z = k * 0.125 - 2;
  ring.radius = (0.1 * std::sin((k + phase[0] * pi) * 0.5) + 0.2 * std::sin((k + phase[1] * pi) * 0.25) + 0.6) *
                std::sin(k * static_cast<double>(kPiOver32));
  ring.x = 0.2 * std::sin((k + phase[2] * pi) * 0.25);
  ring.y = 0.1 * std::sin((k + phase[3] * pi) * 0.5);
  ring.t = k * 0.0625;
  return ring;
}

BandVertex BandVertexAt(int j, double z, double radius, double t, double x, double y) {
  const double angle = j * static_cast<double>(kPiOver16);
  BandVertex v;
  v.s = static_cast<float>(j * 0.0625);
  v.t = static_cast<float>(t);
  v.grey = static_cast<float>(radius + 0.5);
  v.x = static_cast<float>(radius * std::cos(angle) + x);
  v.y = static_cast<float>(radius * std::sin(angle) + y);
  v.z = static_cast<float>(z);
  return v;
}

void AdvanceAnimation(SceneAnimation& a, float dt) {
  static const double kWaveRate[4] = {4, 3, 5, 2.8};
  for (int i = 0; i < 4; ++i) {
    a.wavePhase[i] += kWaveRate[i] * dt;
    if (a.wavePhase[i] > kPhaseWrap) a.wavePhase[i] -= kPhaseWrap;
  }
  for (double& angle : a.spinAngle) {
    angle += 10.0 * dt;
    if (angle > kAngleWrap) angle -= kAngleWrap;
  }
}

float CounterSeconds(long long start, long long now, long long frequency) {
  if (frequency <= 0) return 0.0f;  // no counter: the scene stands still
  return static_cast<float>(static_cast<double>(now - start) / static_cast<double>(frequency));
}

}  // namespace numerabo
