#pragma once

#include "app/result.h"

#include <QString>

#include <functional>

// Gets the clipboard's content as plain text: empty when it holds no text, an error when
// the clipboard cannot be reached.
using ClipboardReader = std::function<Result<QString>()>;

Result<QString> systemClipboardText();
