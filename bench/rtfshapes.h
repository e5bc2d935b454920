#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <span>

// RTF documents of one pathological shape each, made in memory so that none has to be
// kept as a file: `count` is the number of elements of that shape (fonts in use, colour
// pairs, table cells, styles, lists, pictures), so that time and memory can be compared
// across counts.
namespace rtfshapes {

enum class Shape { Fonts, Colours, Nesting, Styles, Lists, Pictures };

std::span<const Shape> allShapes();
QString nameOf(Shape shape);
std::optional<Shape> shapeNamed(const QString &name);

QByteArray generate(Shape shape, int count);

} // namespace rtfshapes
