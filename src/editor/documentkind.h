#pragma once

// How a document file is read or written.
enum class DocumentKind { Rtf = 0, PlainText = 1 };
