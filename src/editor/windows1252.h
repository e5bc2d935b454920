#pragma once

#include <QChar>

#include <optional>

// Windows-1252 both ways. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) stand for the C1 controls of the same number, as Windows reads them, so
// that every byte reads as a character and writes back as itself.
namespace Windows1252 {

char16_t toUnicode(unsigned char byte);
std::optional<unsigned char> fromUnicode(char16_t c);

} // namespace Windows1252
