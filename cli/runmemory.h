#pragma once

namespace qv {

// Sets up the heap for a command that runs once and ends: memory freed on the way is kept for
// reuse, and a large part of the heap is reserved at once so that the system may back it with
// large pages. Each page touched for the first time costs a fault, and on a virtual machine a
// fault costs several microseconds: a run of 100,000 files touches some 20,000 small pages, and
// those faults took a third of a dry run. Nothing happens where the C library or the system
// offers none of this.
void prepareHeapForOneRun();

} // namespace qv
