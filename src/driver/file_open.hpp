// FILOPN: opens a file on a numbered unit from integer codes and reports a status number.
#pragma once

#include <cstdint>
#include <string_view>

#include "support/unit_table.hpp"

namespace qel2br::driver {

inline constexpr std::int32_t kOpened = 0;
inline constexpr std::int32_t kIllegalUnit = -901;
inline constexpr std::int32_t kIllegalRecordLength = -902;

// The integer codes of an opening, in the order FILOPN takes them.
struct OpenCodes {
  std::int32_t status_code = 0;    // 2 OLD, 3 NEW, 4 SCRATCH, any other UNKNOWN
  std::int32_t access_code = 0;    // 20 direct (given length), 30 direct (128), other sequential
  std::int32_t form_code = 0;      // 1 formatted, 2 unformatted, other: default of the access
  std::int32_t blank_code = 0;     // 1 ZERO, other NULL (formatted files only)
  std::int32_t record_length = 0;  // in 4-byte words; used with access code 20 only
  std::int32_t listing = 0;        // above 0: describe the opened file on the message unit
  std::int32_t message_unit = 0;   // 0 or less: no messages at all
};

// The codes with which the conversion opens every file: sequential, formatted, no messages.
inline constexpr OpenCodes kQuietOld{
    .status_code = 2, .access_code = 10, .form_code = 1, .listing = -1, .message_unit = -6};
inline constexpr OpenCodes kQuietUnknown{
    .status_code = 1, .access_code = 10, .form_code = 1, .listing = -1, .message_unit = -6};

// Opens the named file (trailing blanks are not part of the name) on the unit. Returns 0,
// kIllegalUnit for a unit outside 1-99, kIllegalRecordLength for access code 20 with a record
// length below 1, or minus the platform's error number. Messages and the listing go to the
// message unit when it is above 0.
[[nodiscard]] std::int32_t FILOPN(support::UnitTable& units, std::string_view name,
                                  std::int32_t unit, const OpenCodes& codes);

}  // namespace qel2br::driver
