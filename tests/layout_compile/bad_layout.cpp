// A layout that must not compile (LAYOUT_CASE selects the fault); with LAYOUT_GOOD its twin must.
#include "layout/layout.hpp"

namespace qel2br::layout {

#if defined(LAYOUT_GOOD) && LAYOUT_CASE == 1
constexpr Layout kLayout = "(A, I4)";
#elif LAYOUT_CASE == 1
constexpr Layout kLayout = "(A, I4";  // missing ')'
#elif defined(LAYOUT_GOOD) && LAYOUT_CASE == 2
constexpr Layout kLayout = "(F9.3)";
#elif LAYOUT_CASE == 2
constexpr Layout kLayout = "(F9)";  // F without decimals
#elif LAYOUT_CASE == 3
constexpr Layout kLayout = "(A, I4)";
#endif

#if LAYOUT_CASE == 3
void write(support::OutputUnit& out) {
#ifdef LAYOUT_GOOD
  write_record(out, kLayout, "text", 4);
#else
  write_record(out, kLayout, "text", "a text on an I field");
#endif
}
#endif

const ParsedLayout& use() { return kLayout.parsed(); }

}  // namespace qel2br::layout
