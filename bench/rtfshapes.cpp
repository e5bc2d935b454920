#include "rtfshapes.h"

#include <QBuffer>
#include <QImage>

#include <array>
#include <cmath>

namespace rtfshapes {

namespace {

constexpr std::array Shapes{Shape::Fonts, Shape::Colours, Shape::Nesting, Shape::Styles, Shape::Lists, Shape::Pictures};
constexpr int NestingDepth = 8;

QByteArray number(int n)
{
    return QByteArray::number(n);
}

QByteArray header()
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\n";
}

// Every font of the table is used by a run of its own.
QByteArray fonts(int count)
{
    QByteArray out = header() + "{\\fonttbl";
    for (int i = 0; i < count; ++i)
        out += "{\\f" + number(i) + "\\fswiss Face " + number(i) + ";}\n";
    out += "}\n\\pard ";
    for (int i = 0; i < count; ++i)
        out += "{\\f" + number(i) + " w" + number(i) + "}" + (i % 16 == 15 ? "\\par\n" : " ");
    return out + "\\par}";
}

// A square colour table, every pair of text and background colour used once.
QByteArray colours(int count)
{
    const int side = int(std::ceil(std::sqrt(double(count))));
    QByteArray out = header() + "{\\fonttbl{\\f0 Arial;}}\n{\\colortbl;";
    for (int i = 0; i < side; ++i)
        out += "\\red" + number(i % 256) + "\\green" + number(i / 256 % 256) + "\\blue" + number(255 - i % 256) + ";";
    out += "}\n\\pard ";
    for (int i = 0; i < count; ++i) {
        out += "{\\cf" + number(i / side + 1) + "\\cb" + number(i % side + 1) + " c" + number(i) + "}";
        out += i % 16 == 15 ? "\\par\n" : " ";
    }
    return out + "\\par}";
}

QByteArray cellParagraph(int depth, const QByteArray &text)
{
    return "\\pard\\intbl\\itap" + number(depth) + " " + text + (depth == 1 ? "\\cell\n" : "\\nestcell\n");
}

QByteArray rowDefinition()
{
    return "\\trowd\\trgaph108\\cellx2000\\cellx4000";
}

// One row at `depth` whose second cell holds a table one deeper, down to NestingDepth.
void nestedRow(QByteArray &out, int depth, int &cells)
{
    if (depth == 1)
        out += rowDefinition() + "\n";
    out += cellParagraph(depth, "cell " + number(cells++));
    if (depth < NestingDepth) {
        nestedRow(out, depth + 1, cells);
        out += cellParagraph(depth, "after");
    } else {
        out += cellParagraph(depth, "cell " + number(cells));
    }
    ++cells;
    if (depth == 1)
        out += "\\row\n";
    else
        out += "{\\*\\nesttableprops" + rowDefinition() + "\\nestrow}{\\nonesttables\\par}\n";
}

// One outer table, each row holding tables nested NestingDepth deep.
QByteArray nesting(int count)
{
    QByteArray out = header() + "{\\fonttbl{\\f0 Arial;}}\n";
    for (int cells = 0; cells < count;)
        nestedRow(out, 1, cells);
    return out + "\\pard\\par}";
}

// Each paragraph in a style of its own, each style with its own indent.
QByteArray styles(int count)
{
    QByteArray out = header() + "{\\fonttbl{\\f0 Arial;}}\n{\\stylesheet{\\s0 Normal;}\n";
    for (int i = 1; i <= count; ++i)
        out += "{\\s" + number(i) + "\\li" + number(i % 2000) + "\\sbasedon0 Style " + number(i) + ";}\n";
    out += "}\n";
    for (int i = 1; i <= count; ++i)
        out += "\\pard\\s" + number(i) + "\\li" + number(i % 2000) + " styled " + number(i) + "\\par\n";
    return out + "}";
}

// Each paragraph an item of a list of its own.
QByteArray lists(int count)
{
    static constexpr std::array Formats{0, 1, 2, 3, 4, 23};
    QByteArray out = header() + "{\\fonttbl{\\f0 Arial;}}\n{\\*\\listtable\n";
    for (int i = 1; i <= count; ++i) {
        out += "{\\list\\listtemplateid" + number(i) + "{\\listlevel\\levelnfc" + number(Formats[std::size_t(i) % Formats.size()])
               + "\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid" + number(i) + "}\n";
    }
    out += "}\n{\\*\\listoverridetable\n";
    for (int i = 1; i <= count; ++i)
        out += "{\\listoverride\\listid" + number(i) + "\\listoverridecount0\\ls" + number(i) + "}\n";
    out += "}\n";
    for (int i = 1; i <= count; ++i)
        out += "\\pard\\ls" + number(i) + "\\ilvl0\\fi-360\\li720{\\listtext 1.\\tab}item " + number(i) + "\\par\n";
    return out + "}";
}

// Small pictures, each of its own colour so that no two are the same.
QByteArray pictures(int count)
{
    QByteArray out = header() + "{\\fonttbl{\\f0 Arial;}}\n\\pard ";
    for (int i = 0; i < count; ++i) {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(QColor::fromRgb(QRgb(0x10000 * (i % 256) + 0x100 * (i / 256 % 256) + i / 65536 % 256)));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        out += "{\\pict\\pngblip\\picw4\\pich4\\picwgoal60\\pichgoal60\n" + png.toHex() + "}";
        out += i % 16 == 15 ? "\\par\n" : " ";
    }
    return out + "\\par}";
}

} // namespace

std::span<const Shape> allShapes()
{
    return Shapes;
}

QString nameOf(Shape shape)
{
    switch (shape) {
    case Shape::Fonts: return QStringLiteral("fonts");
    case Shape::Colours: return QStringLiteral("colours");
    case Shape::Nesting: return QStringLiteral("nesting");
    case Shape::Styles: return QStringLiteral("styles");
    case Shape::Lists: return QStringLiteral("lists");
    case Shape::Pictures: return QStringLiteral("pictures");
    }
    return {};
}

std::optional<Shape> shapeNamed(const QString &name)
{
    for (const Shape shape : Shapes) {
        if (nameOf(shape) == name)
            return shape;
    }
    return std::nullopt;
}

QByteArray generate(Shape shape, int count)
{
    switch (shape) {
    case Shape::Fonts: return fonts(count);
    case Shape::Colours: return colours(count);
    case Shape::Nesting: return nesting(count);
    case Shape::Styles: return styles(count);
    case Shape::Lists: return lists(count);
    case Shape::Pictures: return pictures(count);
    }
    return {};
}

} // namespace rtfshapes
