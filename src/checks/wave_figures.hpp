// The figures of a sea state that its checks and the report use: its linear wavelength, its
// steepness against the breaking limit, H/d and the Ursell number.
#pragma once

#include <optional>

#include "records/records.hpp"

namespace qel2br::checks {

// A linear wave: its wavelength L (m) and wave number k = 2 pi / L (1/m).
struct LinearWave {
  double length = 0.0;
  double wave_number = 0.0;
};

// The linear wave of period (s) in water of depth (m), from the dispersion relation
// w^2 = g k tanh(k d) with w = 2 pi / period; nullopt when the period or the depth is not above
// 0 (or either is not finite), or when the iteration does not converge within
// kDispersionIterations.
[[nodiscard]] std::optional<LinearWave> linear_wave(double period, double depth);

// What the checks compute of a sea state; nullopt where a figure cannot be computed (a period
// or depth not above 0).
struct SeaStateFigures {
  std::optional<double> wavelength{};       // L
  std::optional<double> steepness{};        // H / L
  std::optional<double> steepness_limit{};  // kSteepnessFactor tanh(k d)
  std::optional<double> depth_ratio{};      // H / d
  std::optional<double> ursell{};           // H L^2 / d^3
};

[[nodiscard]] SeaStateFigures sea_state_figures(const records::SeaState& state);

// Whether the steepness or the Ursell number of state may lie above its limit: false when
// bounds that need no dispersion relation keep both within their limits. No wavelength exceeds
// the deep-water one, L0 = g T^2 / 2 pi, and tanh(kd) >= tanh(k0 d) >= x / (1 + x) with
// x = k0 d = 2 pi d / L0, so H/L / (0.142 tanh(kd)) = H / (0.142 L0 tanh^2(kd)) is at most
// H (1 + x)^2 / (0.142 L0 x^2), and H L^2 / d^3 at most H L0^2 / d^3.
[[nodiscard]] bool may_exceed_wave_limits(const records::SeaState& state);

}  // namespace qel2br::checks
