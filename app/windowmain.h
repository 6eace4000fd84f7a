#pragma once

#include "cli/commandline.h"

namespace qv {

// The program with its windows, from the display check to the last window closed; what
// main() runs when the command line asks for no command.
int runWindows(int& argc, char** argv, const CommandLine& line);

} // namespace qv

// The same from the window module (see app/windowmodule.h), which reads the command line itself:
// only plain C types cross between the program and a module that may come from another build.
extern "C" int quorvel_run_windows(int* argc, char** argv);
