// The platform seam without the desktop implementation, for tests that build only the windows
// they test and install their own platform.
#include "app/platform.h"

namespace qv {

namespace {
Platform* current = nullptr;
} // namespace

Platform& platform()
{
    Q_ASSERT(current);
    return *current;
}

Platform* setPlatform(Platform* platform)
{
    Platform* previous = current;
    current = platform;
    return previous;
}

} // namespace qv
