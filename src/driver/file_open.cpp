// FILOPN: derives the file's settings from the codes, opens it, and describes the outcome.
#include "driver/file_open.hpp"

#include <string>

#include "layout/layout.hpp"

namespace qel2br::driver {

namespace {

using layout::Layout;
using layout::write_record;

constexpr Layout kOpenError = R"L((/, /, /, " *** ERROR DURING OPENING OF FILE UNIT", I5))L";
constexpr Layout kIllegalUnitText = R"L((5X, "ILLEGAL FILE UNIT"))L";
constexpr Layout kIllegalLength = R"L((5X, "ILLEGAL RECORD LENGTH =", I5))L";
constexpr Layout kErrorCode = R"L((5X, "ERROR CODE =", I5, "  (SYSTEM PARAMETER)"))L";
constexpr Layout kScratchOpened = R"L((/, /, /, 5X, "A SCRATCH FILE IS OPENED ON UNIT NO.", I4))L";
constexpr Layout kFileOpened =
    R"L((/, /, /, 5X, "FILE  ", A, /, 5X, "IS OPENED ON UNIT NO.", I4))L";
constexpr Layout kCharacteristics =
    R"L((5X, "FILE CHARACTERISTICS :", /, 10X, "STATUS =", A7, /, 10X, "ACCESS =", A10, /, 10X, "FORM   =", A11, /, 10X, "LENGTH =", I5, " WORDS/BYTES PER RECORD (SECTOR)"))L";
constexpr Layout kBlankSetting = R"L((10X, "BLANK  =", A4))L";

}  // namespace

std::int32_t FILOPN(support::UnitTable& units, std::string_view name, std::int32_t unit,
                    const OpenCodes& codes) {
  const bool messages = codes.message_unit > 0;
  if (unit < 1 || unit > 99) {
    if (messages) {
      support::OutputUnit& out = units.message_output(codes.message_unit);
      write_record(out, kOpenError, unit);
      write_record(out, kIllegalUnitText);
    }
    return kIllegalUnit;
  }
  std::string_view status_text = "UNKNOWN";
  support::OpenMode mode = support::OpenMode::kUnknown;
  switch (codes.status_code) {
    case 2:
      status_text = "OLD    ";
      mode = support::OpenMode::kOld;
      break;
    case 3:
      status_text = "NEW    ";
      mode = support::OpenMode::kNew;
      break;
    case 4:
      status_text = "SCRATCH";
      mode = support::OpenMode::kScratch;
      break;
    default:
      break;
  }
  const bool direct = codes.access_code == 20 || codes.access_code == 30;
  std::string_view form_text = direct ? "UNFORMATTED" : "FORMATTED  ";
  if (codes.form_code == 1) {
    form_text = "FORMATTED  ";
  } else if (codes.form_code == 2) {
    form_text = "UNFORMATTED";
  }
  std::int32_t record_length = 0;
  if (codes.access_code == 20) {
    if (codes.record_length < 1) {
      if (messages) {
        support::OutputUnit& out = units.message_output(codes.message_unit);
        write_record(out, kOpenError, unit);
        write_record(out, kIllegalLength, codes.record_length);
      }
      return kIllegalRecordLength;
    }
    // A formatted record length is counted in bytes, an unformatted one in 4-byte words.
    const std::int64_t length =
        codes.form_code == 1 ? std::int64_t{codes.record_length} * 4 : codes.record_length;
    record_length = length > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(length);
  } else if (codes.access_code == 30) {
    record_length = 128;
  }
  const std::string_view access_text = direct ? "DIRECT    " : "SEQUENTIAL";
  const bool formatted = form_text != "UNFORMATTED";
  const std::string_view blank_text = codes.blank_code == 1 ? "ZERO" : "NULL";

  const int error = units.open(unit, name, mode);
  if (error > 0) {
    if (messages) {
      support::OutputUnit& out = units.message_output(codes.message_unit);
      write_record(out, kOpenError, unit);
      write_record(out, kErrorCode, static_cast<std::int32_t>(error));
    }
    return -static_cast<std::int32_t>(error);
  }
  if (codes.listing > 0 && messages) {
    support::OutputUnit& out = units.message_output(codes.message_unit);
    if (mode == support::OpenMode::kScratch) {
      write_record(out, kScratchOpened, unit);
    } else {
      write_record(out, kFileOpened, name, unit);
    }
    write_record(out, kCharacteristics, status_text, access_text, form_text, record_length);
    if (formatted) {
      write_record(out, kBlankSetting, blank_text);
    }
  }
  return kOpened;
}

}  // namespace qel2br::driver
