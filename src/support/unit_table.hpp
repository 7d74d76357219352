// Numbered units: the console and the files the run opens, read and written line by line.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "support/line_source.hpp"
#include "support/output_unit.hpp"
#include "support/platform.hpp"
#include "support/replaced_file.hpp"

namespace qel2br::support {

inline constexpr int kConsoleIn = 5;
inline constexpr int kConsoleOut = 6;
inline constexpr int kCardUnit = 88;
inline constexpr int kElementUnit = 89;
inline constexpr int kDataUnit = 90;
inline constexpr int kGroupUnit = 91;

// The standard stream (output or error) that writes to the file path names, when one does; a
// terminal or the null device is no file that console lines could spoil.
[[nodiscard]] std::optional<StandardStream> written_by_console(Platform& system,
                                                               std::string_view path);

// How a file is opened on a unit.
enum class OpenMode : std::uint8_t { kOld, kNew, kUnknown, kScratch };

// The units 1 to 99 that files are connected to. Tests bind in-memory files instead.
class UnitTable {
 public:
  // The units with the console output (unit 6) on console; files are opened on the platform.
  explicit UnitTable(OutputUnit& console, Platform& system = platform());
  ~UnitTable();
  UnitTable(const UnitTable&) = delete;
  UnitTable& operator=(const UnitTable&) = delete;

  // Opens the named file on the unit; returns 0 or the platform's error number. A directory
  // and an all-blank name cannot be opened. An earlier connection of the unit is closed first.
  // A file opened OLD is opened for reading only, and only a regular file or a pipe is taken (a
  // device or a socket is refused). A file opened UNKNOWN is written under a temporary name
  // beside it and replaces it at close() (see ReplacedFile); where a temporary file cannot
  // serve, the file itself is opened, created when missing and emptied only when its first line
  // is written.
  [[nodiscard]] int open(int unit, std::string_view name, OpenMode mode);
  // Why the last open failed, in words ("No such file or directory", "it is a character
  // device"); empty after a successful open.
  [[nodiscard]] const std::string& open_failure() const { return open_failure_; }
  // Connects the unit to lines held in memory (tests and in-process runs).
  void bind_lines(int unit, std::string name, std::string contents);
  // Connects the unit to an output unit owned by the caller.
  void bind_output(int unit, std::string name, OutputUnit& output);

  [[nodiscard]] bool connected(int unit) const;
  // The name the unit was opened with (trailing blanks removed).
  [[nodiscard]] const std::string& name(int unit) const;
  // The unit's whole text, read from the file on first use, after which the file is closed; a
  // failed read or close stops the run.
  [[nodiscard]] MemoryLines& lines(int unit);
  // The unit opened for writing lines ending in CR LF; a unit that is not open is a fault of
  // the program.
  [[nodiscard]] OutputUnit& output(int unit);
  // Closes the unit (flushing it); a unit that is not connected is left alone. A failed write
  // or close stops the run naming the file. The output data file written under a temporary name
  // then replaces the file of its name; when nothing was written to it, a file that was there
  // is left as it was (and a new one is made empty).
  void close(int unit);
  // Disconnects the unit of a run that stopped, without a report: the text not yet written is
  // dropped and a temporary file removed (see ReplacedFile::abandon).
  ReplacedFile::Abandoned abandon(int unit);
  // While held, close() leaves a file written under a temporary name ready but not in place
  // (a run whose report is still to be written): commit_held() then puts it in place (0 or the
  // error number; on an error it stays held), abandon_held() drops it.
  void hold_replacements() { hold_ = true; }
  [[nodiscard]] int commit_held();
  ReplacedFile::Abandoned abandon_held();
  // The name of the file held ("" for none).
  [[nodiscard]] const std::string& held_name() const { return held_name_; }
  // Whether path names the same file as the one connected to the unit (any spelling or link).
  [[nodiscard]] bool same_file(int unit, std::string_view path) const;

  // Connects unit 6 to another console output.
  void bind_console(OutputUnit& console) { console_ = &console; }
  // Where a message for the given unit goes: the console for unit 6 (and for 0 or less), the
  // connected file otherwise; a unit that is not connected falls back to the console.
  [[nodiscard]] OutputUnit& message_output(int unit);

 private:
  struct Slot;
  Slot& slot(int unit);
  [[nodiscard]] const Slot& slot(int unit) const;
  Platform& system_;
  std::array<std::unique_ptr<Slot>, 100> slots_;
  OutputUnit* console_;  // never null
  std::string open_failure_;
  bool hold_ = false;
  std::unique_ptr<ReplacedFile> held_;
  std::string held_name_;
};

}  // namespace qel2br::support
