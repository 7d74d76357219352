// Numbered units, output units and line sources together (for files that use several of them).
#pragma once

#include "support/fd_output.hpp"
#include "support/line_source.hpp"
#include "support/output_unit.hpp"
#include "support/unit_table.hpp"
