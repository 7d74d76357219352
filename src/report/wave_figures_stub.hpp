// Stand-in for the sea-state figures of the checks layer until it lands (removed at the merge).
#pragma once

#include <cmath>
#include <optional>

#include "records/records.hpp"

namespace qel2br::checks {

struct SeaStateFigures {
  std::optional<double> wavelength;
  std::optional<double> steepness;
  std::optional<double> steepness_limit;
  std::optional<double> depth_ratio;
  std::optional<double> ursell;
};

inline SeaStateFigures sea_state_figures(const records::SeaState& state) {
  SeaStateFigures figures;
  const double d = state.depth;
  const double t = state.period;
  if (!(t > 0.0) || !(d > 0.0)) {
    return figures;
  }
  constexpr double kG = 9.80665;
  constexpr double kTwoPi = 6.283185307179586;
  const double w = kTwoPi / t;
  double k = std::max(w * w / kG, w / std::sqrt(kG * d));
  for (int i = 0; i < 100; ++i) {
    const double th = std::tanh(k * d);
    const double f = kG * k * th - w * w;
    const double df = kG * th + kG * k * d * (1.0 - th * th);
    const double next = k - f / df;
    if (std::fabs(next - k) <= 1e-14 * k) {
      k = next;
      break;
    }
    k = next;
  }
  const double l = kTwoPi / k;
  figures.wavelength = l;
  figures.steepness = state.height / l;
  figures.steepness_limit = 0.142 * std::tanh(k * d);
  figures.depth_ratio = state.height / d;
  figures.ursell = state.height * l * l / (d * d * d);
  return figures;
}

}  // namespace qel2br::checks
