// The machine-readable results: JSON strings and the document.
#include "results/json_results.hpp"

#include <array>
#include <cstddef>
#include <cstdint>

namespace qel2br::results {

namespace {

// The length of the valid UTF-8 sequence at the start of text, or 0 when it starts with a byte
// that begins none (a lone continuation byte, an overlong form, a surrogate, a code point past
// U+10FFFF, or a sequence cut short).
std::size_t utf8_length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80U;  // the range of the second byte, narrower after some leads
  unsigned char high = 0xbfU;
  if (lead < 0x80U) {
    return 1;
  }
  if (lead >= 0xc2U && lead <= 0xdfU) {
    length = 2;
  } else if (lead >= 0xe0U && lead <= 0xefU) {
    length = 3;
    low = lead == 0xe0U ? 0xa0U : low;
    high = lead == 0xedU ? 0x9fU : high;
  } else if (lead >= 0xf0U && lead <= 0xf4U) {
    length = 4;
    low = lead == 0xf0U ? 0x90U : low;
    high = lead == 0xf4U ? 0x8fU : high;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80U || byte(i) > 0xbfU) {
      return 0;
    }
  }
  return length;
}

std::string number_or_null(std::int64_t value, bool applies) {
  return applies ? std::to_string(value) : "null";
}

std::string text_or_null(const std::optional<std::string>& text) {
  return text.has_value() ? json_string(*text) : "null";
}

// "file", "line", "first_column" and "last_column" of a place, each null where it does not
// apply.
std::string place_members(std::string_view file, std::int64_t line, int first_column,
                          int last_column) {
  return "\"file\": " + (file.empty() ? std::string("null") : json_string(file)) +
         ", \"line\": " + number_or_null(line, line > 0) +
         ", \"first_column\": " + number_or_null(first_column, first_column > 0) +
         ", \"last_column\": " + number_or_null(last_column, last_column > 0);
}

std::string warning_object(const support::KeptWarning& warning) {
  // Appended, not added up: GCC 12 at -O3 takes "{" + text for an overlapping copy.
  std::string text = "{";
  text += place_members(warning.file, warning.line, warning.first_column, warning.last_column);
  text += ", \"kind\": " + json_string(support::warning_kind_name(warning.kind));
  text += ", \"text\": " + json_string(warning.message);
  text += '}';
  return text;
}

std::string input_object(const InputResult& input) {
  std::string text = "    {\n";
  text += "      \"input\": " + json_string(input.input) + ",\n";
  text += "      \"output\": " + text_or_null(input.output) + ",\n";
  text += "      \"status\": " + std::to_string(input.status) + ",\n";
  text += "      \"reason\": " + text_or_null(input.reason) + ",\n";
  const RecordCounts& r = input.records;
  text += "      \"records\": {\"wave\": " + std::to_string(r.waves) +
          ", \"current\": " + std::to_string(r.currents) +
          ", \"profile\": " + std::to_string(r.profiles) +
          ", \"element\": " + std::to_string(r.element_records) +
          ", \"group\": " + std::to_string(r.group_records) + "},\n";
  if (input.warnings.empty()) {
    text += "      \"warnings\": [],\n";
  } else {
    text += "      \"warnings\": [\n";
    for (std::size_t i = 0; i < input.warnings.size(); ++i) {
      text += "        " + warning_object(input.warnings[i]) +
              (i + 1 < input.warnings.size() ? ",\n" : "\n");
    }
    text += "      ],\n";
  }
  if (input.stop.has_value()) {
    const support::InputStop& stop = *input.stop;
    text += "      \"stop\": {" +
            place_members(stop.file, stop.line, stop.first_column, stop.last_column) +
            ", \"text\": " + json_string(stop.message) + "}\n";
  } else {
    text += "      \"stop\": null\n";
  }
  text += "    }";
  return text;
}

}  // namespace

std::string json_string(std::string_view text) {
  constexpr std::array<char, 16> kHex{'0', '1', '2', '3', '4', '5', '6', '7',
                                      '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  std::string quoted = "\"";
  quoted.reserve(text.size() + 2);
  // Each pass takes at least one byte off the text.
  while (!text.empty()) {
    const char c = text.front();
    const auto byte = static_cast<unsigned char>(c);
    std::size_t taken = 1;
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (c == '\b') {
      quoted += "\\b";
    } else if (c == '\f') {
      quoted += "\\f";
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (byte < 0x20U || byte == 0x7fU) {
      quoted += "\\u00";
      quoted += kHex[byte >> 4U];
      quoted += kHex[byte & 0x0fU];
    } else if (byte < 0x80U) {
      quoted += c;
    } else if (const std::size_t length = utf8_length(text); length > 0) {
      quoted.append(text.substr(0, length));
      taken = length;
    } else {
      quoted += "\\ufffd";
    }
    text.remove_prefix(taken);
  }
  quoted += '"';
  return quoted;
}

std::string render_json(const Results& results) {
  std::string text = "{\n";
  text += "  \"format\": " + std::to_string(kResultsFormat) + ",\n";
  text += "  \"tool\": \"qel2br\",\n";
  text += "  \"version\": " + json_string(results.version) + ",\n";
  if (results.inputs.empty()) {
    text += "  \"inputs\": []\n";
  } else {
    text += "  \"inputs\": [\n";
    for (std::size_t i = 0; i < results.inputs.size(); ++i) {
      text += input_object(results.inputs[i]);
      text += i + 1 < results.inputs.size() ? ",\n" : "\n";
    }
    text += "  ]\n";
  }
  text += "}\n";
  return text;
}

}  // namespace qel2br::results
