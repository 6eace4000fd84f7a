#pragma once

#include "cli/commandline.h"

class QTextStream;

namespace qv {

// Carries out a command line that needs no window (help, version, a usage error, rename, undo):
// entry lines and summaries go to out, errors to err. Returns the exit code.
int runCommand(const CommandLine& line, QTextStream& out, QTextStream& err);

} // namespace qv
