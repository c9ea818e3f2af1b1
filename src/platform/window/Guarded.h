// The guarded entry point. No exception may leave a handler into the window system's
// event loop: every entry point from it runs its work through CallGuarded, which passes
// an escaping exception to the installed handler. The application object installs its
// HandleException (a message box with a stop icon; EAbort silent) when it is made.
#pragma once

#include "platform/runtime/System.h"

// Called inside a catch block, with the object whose entry point failed. Never throws.
using TGuardedExceptionHandler = TEvent<void(TObject* Sender)>;

// Makes Handler the one every guarded entry point uses; returns the one it replaces.
TGuardedExceptionHandler SetGuardedExceptionHandler(TGuardedExceptionHandler Handler);

// Call inside a catch block: hands the exception to the installed handler. With none
// installed, the exception's message goes to the standard error stream.
void HandleGuardedException(TObject* Sender) noexcept;

// Runs Action; an exception escaping it goes to the installed handler with Sender.
template <class F>
void CallGuarded(TObject* Sender, F&& Action) noexcept
{
    try {
        Action();
    } catch (...) {
        HandleGuardedException(Sender);
    }
}
