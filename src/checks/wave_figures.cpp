// The linear dispersion relation and the figures of a sea state.
#include "checks/wave_figures.hpp"

#include <cmath>
#include <numbers>

#include "checks/thresholds.hpp"

namespace qel2br::checks {

std::optional<LinearWave> linear_wave(double period, double depth) {
  if (!std::isfinite(period) || !std::isfinite(depth) || !(period > 0.0) || !(depth > 0.0)) {
    return std::nullopt;
  }
  const double omega = 2.0 * std::numbers::pi / period;
  const double deep = omega * omega / kGravity;  // the deep-water wave number
  // Newton's method on f(k) = g k tanh(kd) - w^2, from a start close to the root in any depth
  // (f is increasing and convex enough that the steps close in from there).
  double k = deep / std::sqrt(std::tanh(deep * depth));
  if (!std::isfinite(k) || k <= 0.0) {
    return std::nullopt;
  }
  for (int i = 0; i < kDispersionIterations; ++i) {
    const double t = std::tanh(k * depth);
    const double f = kGravity * k * t - omega * omega;
    const double slope = kGravity * (t + k * depth * (1.0 - t * t));
    const double next = k - f / slope;
    if (!std::isfinite(next) || next <= 0.0) {
      return std::nullopt;
    }
    const bool settled = std::fabs(next - k) <= 1e-14 * k;
    k = next;
    if (settled) {
      return LinearWave{.length = 2.0 * std::numbers::pi / k, .wave_number = k};
    }
  }
  return std::nullopt;
}

SeaStateFigures sea_state_figures(const records::SeaState& state) {
  SeaStateFigures figures;
  const double depth = state.depth;
  if (std::isfinite(depth) && depth > 0.0) {
    figures.depth_ratio = state.height / depth;
  }
  const std::optional<LinearWave> wave = linear_wave(state.period, depth);
  if (!wave) {
    return figures;
  }
  const double length = wave->length;
  figures.wavelength = length;
  figures.steepness = state.height / length;
  figures.steepness_limit = kSteepnessFactor * std::tanh(wave->wave_number * depth);
  figures.ursell = state.height * length * length / (depth * depth * depth);
  return figures;
}

bool may_exceed_wave_limits(const records::SeaState& state) {
  const double deep = kGravity * state.period * state.period / (2.0 * std::numbers::pi);
  const double x = 2.0 * std::numbers::pi * state.depth / deep;
  if (!std::isfinite(deep) || !std::isfinite(x) || !(x > 0.0)) {
    return true;
  }
  const double steepness_bound =
      state.height * (1.0 + x) * (1.0 + x) / (kSteepnessFactor * deep * x * x);
  const double ursell_bound =
      state.height * deep * deep / (state.depth * state.depth * state.depth);
  return !(steepness_bound < 1.0) || !(ursell_bound < kUrsellStokes);
}

}  // namespace qel2br::checks
