#pragma once

#include "app/error.h"
#include "app/steps.h"

// The one place where a failed command is reported to the user. The program goes on
// afterwards with the document as the failing step left it.
namespace FailurePath {

QString messageFor(const Error &error);

// Shows the failure in a message box over the active window.
void report(const Error &error);

// Runs a menu or window command: stops at the failing step and reports it.
void run(const Steps &steps);

} // namespace FailurePath
