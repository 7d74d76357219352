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
  std::optional<double> wavelength;       // L
  std::optional<double> steepness;        // H / L
  std::optional<double> steepness_limit;  // kSteepnessFactor tanh(k d)
  std::optional<double> depth_ratio;      // H / d
  std::optional<double> ursell;           // H L^2 / d^3
};

[[nodiscard]] SeaStateFigures sea_state_figures(const records::SeaState& state);

}  // namespace qel2br::checks
