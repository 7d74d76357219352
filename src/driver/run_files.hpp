// The files of a run from the command line, checked before any of them is opened: no file the
// run writes may be another file of the run, and an OUTPUT that holds cards is replaced only
// when asked.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "driver/run_context.hpp"
#include "support/output_unit.hpp"
#include "support/platform.hpp"

namespace qel2br::driver {

// How much of an existing OUTPUT is looked at for cards.
inline constexpr std::size_t kCardLookLength = std::size_t{64} << 10U;

// Whether text, the start of a file, holds a card of this tool: a line whose columns 1-4 hold
// one of its keywords exactly (upper case; a three-letter keyword with its blank) followed by
// a blank or the line end. Lines end at LF or CR; a UTF-8 byte order mark before the first line
// is passed over. A data file this tool wrote (its run header first) never holds cards.
[[nodiscard]] bool looks_like_card_file(std::string_view text);

// Why the files of the batch run cannot be used as named, or "" when they can. The files the
// run writes (the output data file, the report) are compared with every other file of the run
// as they will be opened (trailing blanks removed, but for the report's): by identity when
// both exist, by the identity of the folder and the last name component when neither does
// yet. An output data file that is an existing file the run reads is left to the run's own
// refusal (the error end). Then an existing OUTPUT that looks like a card file is refused
// unless batch.force.
[[nodiscard]] std::string run_files_refusal(const BatchOptions& batch, support::Platform& system);

// The name of the file written for input: input's last name component with its last extension
// (from its last '.', unless that '.' begins the component) replaced by extension, or extension
// added when it has none; in folder, or beside input when folder is empty. "a/b.inp" gives
// "DIR/b.dat", "b" gives "b.dat", "b.x.inp" gives "b.x.dat".
[[nodiscard]] std::string derived_name(std::string_view input, std::string_view folder,
                                       std::string_view extension);

// Why the OUTPUT of batch, named after its INPUT rather than given, cannot be written, or "":
// it is the input card file itself, or it is an existing regular file that is neither empty
// nor a data file of this tool (its run header first), and batch.force is not set.
[[nodiscard]] std::string derived_output_refusal(const BatchOptions& batch,
                                                 support::Platform& system);

// Why the runs of one command on many inputs cannot go ahead, or "": two of them would write
// files of one name (the same folder and last component), or a file one of them writes is
// another's file (by identity, as run_files_refusal compares). Each run's own files are
// checked by run_files_refusal when it starts.
[[nodiscard]] std::string many_files_refusal(std::span<const BatchOptions> runs,
                                             support::Platform& system);

// Why the results file json (--json) cannot be written, or "": it is one of the files of the
// runs (by identity, as run_files_refusal compares). Checked before the results file is opened.
[[nodiscard]] std::string results_file_refusal(std::string_view json,
                                               std::span<const BatchOptions> runs,
                                               support::Platform& system);

// Checks the files of the batch run before anything is opened; a refusal is written to errors
// as "qel2br: ..." and returns kInputStop, otherwise kNormalEnd.
[[nodiscard]] int check_run_files(const BatchOptions& batch, support::OutputUnit& errors,
                                  support::Platform& system = support::platform());

}  // namespace qel2br::driver
