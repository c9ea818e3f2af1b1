// The handler behind every guarded entry point.
#include "platform/window/Guarded.h"

#include <cstdio>
#include <exception>
#include <utility>

namespace {

// A function-local static: the application object installs its handler during static
// initialisation, whatever the order of the units.
TGuardedExceptionHandler& InstalledHandler()
{
    static TGuardedExceptionHandler handler;
    return handler;
}

}  // namespace

TGuardedExceptionHandler SetGuardedExceptionHandler(TGuardedExceptionHandler Handler)
{
    return std::exchange(InstalledHandler(), Handler);
}

void HandleGuardedException(TObject* Sender) noexcept
{
    if (const TGuardedExceptionHandler& handler = InstalledHandler()) {
        handler(Sender);
        return;
    }
    if (!std::current_exception())
        return;
    try {
        throw;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Unhandled exception: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Unhandled exception\n");
    }
}
