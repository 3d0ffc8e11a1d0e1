#pragma once
// dbl_options.hpp - the command line: --port=N [--bind=ADDR] [--data-dir=DIR]
// --login=USER:PASSWORD ... [--product-version=YEAR] [--version-string=TEXT] and the faults
// --drop-after-bulk-rows=N,
// --drop-after-batches=N, --delay-ms=T, --refuse-logins-after=N, and --trace.

#include "dbl_server.hpp"

#include <string>

// Throws std::invalid_argument with a message for the console (never a password).
dbl_options dbl_parse_options(int argc, char** argv);
extern const char* const DBL_USAGE;
