#pragma once

namespace qv {

// The windows live in a module of their own, loaded only when the program opens a window: a run
// from the command line then maps and binds none of the GUI libraries (half its start-up time
// and memory before any work). Prints why and gives 1 when no module can be loaded.
int runWindowModule(int& argc, char** argv);

} // namespace qv
