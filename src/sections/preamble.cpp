// The wave and current preamble: the fixed block of comment lines and the four command records
// that prepare a dynamic simulation with load case 3.
#include <array>
#include <string_view>

#include "layout/layout.hpp"
#include "sections/sections.hpp"

namespace qel2br::sections {

namespace {

// Each line is written at its full length, trailing blanks included. "swithced" is the
// system's own spelling.
constexpr std::array<std::string_view, 31> kPreamble{
    "'",
    "'",
    "'",
    "' ============================================",
    "' ==       W a v e   &  C u r r e n t      ===",
    "' ============================================",
    "'",
    "' NOTE!                                       ",
    "' All Wave Load Cases are fixed to load case 3",
    "' The Current Load Cases are also given same  ",
    "' load case number.                           ",
    "'                                             ",
    "' Activate Actual Wave (remove #)             ",
    "' and change loadcase no if necessary.        ",
    "'                                             ",
    "' The input is prepared for dynamic simulation",
    "' with TimeHist and LoadHist commands.        ",
    "' Buoyancy is swithced ON                     ",
    "' Relative Velocity is switched ON            ",
    "' --------------------------------------------",
    "'                                             ",
    "'                                             ",
    " Buoyancy    ! Switch ON Buoyancy            ",
    " Rel_Velo    ! Switch ON Relative Velocity   ",
    "'                                             ",
    "'         ID   Type   dT  Fac Start           ",
    " TimeHist  3  Switch   0   1    0            ",
    "'                                             ",
    "'         LCase  TimeHist                     ",
    " LoadHist   3       3      ! Activate Wave   ",
    "'                                             ",
};

}  // namespace

void WRPREA(RunState& run) {
  for (const std::string_view line : kPreamble) {
    layout::write_record(run.output(), layout::kOneText, line);
  }
}

}  // namespace qel2br::sections
