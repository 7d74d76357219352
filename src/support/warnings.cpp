// Warnings: counted by kind, shown up to a limit, or stopping the run in strict mode.
#include "support/warnings.hpp"

#include <numeric>

#include "support/input_stop.hpp"

namespace qel2br::support {

namespace {

// What the line of "more" counts calls each kind.
constexpr std::array<std::string_view, static_cast<std::size_t>(WarningKind::kCount)> kKindNames{
    "numeric fields holding more than the value read",
    "keywords outside columns 1-4",
    "cards holding tab characters",
    "wave type codes of no known theory",
    "cards with elements left out by the element ID check",
    "group references passed over in element mode",
    "options not used",
    "card files with lines ending in CR alone",
    "card files holding no card",
    "answers cut to the length of a file name"};

}  // namespace

std::string warning_line(std::string_view file, std::int64_t line, std::string_view message) {
  std::string text = "qel2br: ";
  if (!file.empty()) {
    text += file;
    if (line > 0) {
      text += ':';
      text += std::to_string(line);
    }
    text += ": ";
  }
  text += "warning: ";
  text += message;
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20U || byte == 0x7fU) {
      c = '?';
    }
  }
  return text;
}

void Warnings::warn(WarningKind kind, std::string_view file, std::int64_t line,
                    std::string_view message) {
  if (strict_) {
    stop_input({.file = std::string(file),
                .line = line,
                .message = std::string(message) + " (a warning; --strict stops the run)",
                .detail = ""});
  }
  std::int64_t& count = count_of(kind);
  ++count;
  if (kept_ != nullptr && count <= kWarningsKept) {
    kept_->push_back({.file = std::string(file), .line = line, .message = std::string(message)});
  }
  if (out_ != nullptr && count <= kWarningsShown) {
    out_->write_line(warning_line(file, line, message));
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

void Warnings::count_unlisted(WarningKind kind, std::int64_t more) {
  if (more <= 0) {
    return;
  }
  std::int64_t& count = count_of(kind);
  if (strict_ || count < kWarningsKept) {
    internal_fault("warnings counted before the ones to be shown and kept were given");
  }
  count += more;
}

void Warnings::finish() {
  for (std::size_t k = 0; k < counts_.size(); ++k) {
    const std::int64_t more = counts_[k] - kWarningsShown;
    if (out_ != nullptr && more > 0) {
      out_->write_line("qel2br: warning: " + std::to_string(more) + " more warnings about " +
                       std::string(kKindNames[k]) + " not shown");
    }
  }
  if (out_ != nullptr) {
    out_->flush();
  }
  for (std::size_t k = 0; k < counts_.size(); ++k) {
    const std::int64_t more = counts_[k] - kWarningsKept;
    if (kept_ != nullptr && more > 0) {
      kept_->push_back({.file = "",
                        .line = 0,
                        .message = std::to_string(more) + " more warnings about " +
                                   std::string(kKindNames[k]) + " not listed"});
    }
  }
}

std::int64_t Warnings::total() const {
  return std::accumulate(counts_.begin(), counts_.end(), std::int64_t{0});
}

}  // namespace qel2br::support
