// The limits of the checks of a converted load model, in one place, and how values are compared
// with them.
#pragma once

#include <cmath>

namespace qel2br::checks {

// Values are compared with a limit within this relative tolerance: a file in millimetres scaled
// to metres carries noise of this order, and a value that equals its limit passes.
inline constexpr double kRelativeTolerance = 1e-9;

// Standard gravity, m/s2.
inline constexpr double kGravity = 9.80665;

// Depth-limited breaking: a wave breaks when H/d is above this.
inline constexpr double kBreakingDepthRatio = 0.78;
// Steepness-limited breaking (Miche): H/L is at most this times tanh(kd).
inline constexpr double kSteepnessFactor = 0.142;
// Above this Ursell number H L^2 / d^3 the stream-function theory, not Stokes', is the usual
// choice.
inline constexpr double kUrsellStokes = 30.0;

// Current speeds above this, m/s, are beyond ocean currents.
inline constexpr double kCurrentSpeed = 5.0;
// Marine growth thickness, m.
inline constexpr double kGrowthLowest = 0.0;
inline constexpr double kGrowthHighest = 0.5;
// Drag (Cd) and inertia (Cm) coefficients of members in waves and currents; exactly 0 switches
// the load off on purpose and passes.
inline constexpr double kDragLowest = 0.4;
inline constexpr double kDragHighest = 2.5;
inline constexpr double kInertiaLowest = 1.0;
inline constexpr double kInertiaHighest = 2.5;

// The iterations the linear dispersion relation is given to converge (it takes a few).
inline constexpr int kDispersionIterations = 60;

// Whether value is above limit, beyond the tolerance.
[[nodiscard]] inline bool above(double value, double limit) {
  return value > limit + kRelativeTolerance * std::fabs(limit);
}
// Whether value is below limit, beyond the tolerance.
[[nodiscard]] inline bool below(double value, double limit) {
  return value < limit - kRelativeTolerance * std::fabs(limit);
}

}  // namespace qel2br::checks
