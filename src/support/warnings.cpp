// Warnings: counted by kind, shown up to a limit, silenced, or stopping the run.
#include "support/warnings.hpp"

#include <algorithm>
#include <numeric>

#include "support/input_stop.hpp"

namespace qel2br::support {

namespace {

// What the line of "more" counts calls each kind.
constexpr std::array<std::string_view, kWarningKinds> kKindTexts{
    "numeric fields holding more than the value read",
    "keywords outside columns 1-4",
    "cards holding tab characters",
    "wave type codes of no known theory",
    "cards with elements left out by the element ID check",
    "group references passed over in element mode",
    "options not used",
    "card files with lines ending in CR alone",
    "card files holding no card",
    "answers cut to the length of a file name",
    "set cards passed over in group mode",
    "values too wide for their fields of the data file",
    "depth profiles of one card",
    "lines passed over after a comment card that ended a current",
    "wave periods not above 0",
    "wave heights below 0",
    "waves above depth-limited breaking",
    "waves steeper than the breaking limit",
    "Stokes waves above the Ursell number limit",
    "waves and currents without water depth",
    "current speeds above the limit",
    "current points below the sea bed",
    "currents whose elevations turn back",
    "marine growth thicknesses outside their range",
    "drag coefficients outside their range",
    "inertia coefficients outside their range",
    "elements both flooded and non-hydrodynamic",
    "element ranges without step that give one element",
    "element ranges that give no element"};
// Every kind has its text.
static_assert(std::none_of(kKindTexts.begin(), kKindTexts.end(),
                           [](std::string_view text) { return text.empty(); }));

// Control characters from a file (escape sequences) would reach the terminal as they are.
std::string printable(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20U || byte == 0x7fU) {
      c = '?';
    }
  }
  return text;
}

}  // namespace

std::string_view warning_kind_name(WarningKind kind) {
  const auto index = static_cast<std::size_t>(kind);
  return index < kWarningKinds ? kWarningKindNames[index] : std::string_view();
}

std::optional<WarningKind> warning_kind_named(std::string_view name) {
  const auto* found = std::find(kWarningKindNames.begin(), kWarningKindNames.end(), name);
  if (found == kWarningKindNames.end()) {
    return std::nullopt;
  }
  return static_cast<WarningKind>(found - kWarningKindNames.begin());
}

std::string warning_line(WarningKind kind, const WarningPlace& place, std::string_view message) {
  std::string text;
  if (place.file.empty()) {
    text = "qel2br: ";
  } else {
    text += place.file;
    if (place.line > 0) {
      text += ':';
      text += std::to_string(place.line);
      if (place.first_column > 0) {
        text += ':';
        text += std::to_string(place.first_column);
      }
    }
    text += ": ";
  }
  text += "warning: ";
  text += message;
  text += " [-W";
  text += warning_kind_name(kind);
  text += ']';
  return printable(std::move(text));
}

void Warnings::bind(OutputUnit& out, bool strict, const WarningChoices& chosen) {
  out_ = &out;
  chosen_ = chosen;
  for (std::size_t k = 0; k < kWarningKinds; ++k) {
    actions_[k] = chosen[k].value_or(strict ? WarningAction::kStop : WarningAction::kShow);
  }
}

void Warnings::warn(WarningKind kind, const WarningPlace& place, std::string_view message) {
  if (collector_ != nullptr) {
    collector_->collect(kind, place, std::string(message));
    return;
  }
  std::int64_t& count = count_of(kind);
  const WarningAction action = actions_[static_cast<std::size_t>(kind)];
  if (action == WarningAction::kSilence) {
    return;
  }
  if (action == WarningAction::kStop) {
    // A stop that --strict asked for says so; one that -Werror=KIND asked for names it.
    const std::string why =
        chosen_[static_cast<std::size_t>(kind)].has_value()
            ? " (a warning; -Werror=" + std::string(warning_kind_name(kind)) + " stops the run)"
            : std::string(" (a warning; --strict stops the run)");
    stop_input({.file = std::string(place.file),
                .line = place.line,
                .first_column = place.first_column,
                .last_column = place.last_column,
                .message = std::string(message) + why,
                .detail = ""});
  }
  ++count;
  note_file(kind, place.file);
  if (kept_ != nullptr && count <= kWarningsKept) {
    kept_->push_back({.file = std::string(place.file),
                      .line = place.line,
                      .first_column = place.first_column,
                      .last_column = place.last_column,
                      .kind = kind,
                      .message = std::string(message)});
  }
  if (out_ != nullptr && count <= kWarningsShown) {
    out_->write_line(warning_line(kind, place, message));
    out_->flush();
  }
}

std::int64_t& Warnings::count_of(WarningKind kind) {
  const auto index = static_cast<std::size_t>(kind);
  if (index >= counts_.size()) {
    internal_fault("a warning of kind " + std::to_string(index) + ", which names no kind");
  }
  return counts_[index];
}

void Warnings::note_file(WarningKind kind, std::string_view file) {
  const auto k = static_cast<std::size_t>(kind);
  if (counts_[k] <= 1 && !several_files_[k]) {
    files_[k] = file;
  } else if (files_[k] != file) {
    several_files_[k] = true;
    files_[k].clear();
  }
}

void Warnings::count_unlisted(WarningKind kind, std::string_view file, std::int64_t more) {
  if (more <= 0) {
    return;
  }
  std::int64_t& count = count_of(kind);
  const WarningAction action = actions_[static_cast<std::size_t>(kind)];
  if (action == WarningAction::kSilence) {
    return;
  }
  if (action == WarningAction::kStop || count < kWarningsKept) {
    internal_fault("warnings counted before the ones to be shown and kept were given");
  }
  count += more;
  note_file(kind, file);
}

void Warnings::finish() {
  // The count of a kind is about the file its warnings are about, when that is one file.
  for (std::size_t k = 0; k < counts_.size(); ++k) {
    const std::int64_t more = counts_[k] - kWarningsShown;
    if (out_ != nullptr && more > 0) {
      out_->write_line(warning_line(static_cast<WarningKind>(k), {.file = files_[k]},
                                    std::to_string(more) + " more warnings about " +
                                        std::string(kKindTexts[k]) + " not shown"));
    }
  }
  if (out_ != nullptr) {
    out_->flush();
  }
  for (std::size_t k = 0; k < counts_.size(); ++k) {
    const std::int64_t more = counts_[k] - kWarningsKept;
    if (kept_ != nullptr && more > 0) {
      kept_->push_back({.file = files_[k],
                        .line = 0,
                        .kind = static_cast<WarningKind>(k),
                        .message = std::to_string(more) + " more warnings about " +
                                   std::string(kKindTexts[k]) + " not listed"});
    }
  }
}

std::int64_t Warnings::count(WarningKind kind) const {
  const auto k = static_cast<std::size_t>(kind);
  return k < counts_.size() ? counts_[k] : 0;
}

std::int64_t Warnings::total() const {
  return std::accumulate(counts_.begin(), counts_.end(), std::int64_t{0});
}

}  // namespace qel2br::support
