#include "rtf/fieldreader.h"

#include <algorithm>
#include <utility>

namespace rtf {

namespace {

// Bounds what one field instruction may hold: twice what browsers take as a URL, since
// data: links run long.
constexpr qsizetype MaxInstruction = 4 * 1024 * 1024;

// One argument of a field instruction: a quoted string (\x stands for x inside it) or a
// run up to the next blank. `quoted` tells a switch like \l from a quoted "\l".
QStringView nextFieldArgument(QStringView &rest, QString &unescaped, bool &quoted)
{
    while (!rest.isEmpty() && rest.front().isSpace())
        rest = rest.sliced(1);
    unescaped.clear();
    quoted = !rest.isEmpty() && rest.front() == u'"';
    if (quoted) {
        qsizetype i = 1;
        for (; i < rest.size() && rest[i] != u'"'; ++i) {
            if (rest[i] == u'\\' && i + 1 < rest.size())
                ++i;
            unescaped.append(rest[i]);
        }
        rest = rest.sliced(std::min(i + 1, rest.size()));
        return unescaped;
    }
    qsizetype i = 0;
    while (i < rest.size() && !rest[i].isSpace())
        ++i;
    // A switch's quoted argument may follow it without a space: \f"Symbol".
    if (rest.size() > 2 && rest[0] == u'\\' && rest[2] == u'"')
        i = 2;
    const QStringView argument = rest.first(i);
    rest = rest.sliced(i);
    return argument;
}

} // namespace

FieldKind fieldKind(QStringView instruction, QStringView &arguments)
{
    arguments = instruction;
    QString buffer;
    bool quoted = false;
    const QStringView type = nextFieldArgument(arguments, buffer, quoted);
    if (quoted)
        return FieldKind::Other;
    if (type.compare(u"HYPERLINK", Qt::CaseInsensitive) == 0)
        return FieldKind::Link;
    if (type.compare(u"SYMBOL", Qt::CaseInsensitive) == 0)
        return FieldKind::Symbol;
    return FieldKind::Other;
}

QString hyperlinkTarget(QStringView arguments)
{
    QStringView rest = arguments;
    QString buffer;
    bool quoted = false;
    QString url;
    QString bookmark;
    bool haveUrl = false;
    while (!rest.trimmed().isEmpty()) {
        const QString argument = nextFieldArgument(rest, buffer, quoted).toString();
        if (!quoted && argument.startsWith(u'\\')) {
            if (argument.size() == 2 && argument.at(1).toLower() == u'l')
                bookmark = nextFieldArgument(rest, buffer, quoted).toString();
            else if (argument.size() == 2 && (argument.at(1).toLower() == u'o' || argument.at(1).toLower() == u't'))
                nextFieldArgument(rest, buffer, quoted);
            continue;
        }
        if (!haveUrl) {
            url = argument;
            haveUrl = true;
        }
    }
    if (!bookmark.isEmpty())
        url += u'#' + bookmark;
    return url;
}

std::optional<SymbolField> symbolField(QStringView arguments)
{
    QStringView rest = arguments;
    QString buffer;
    bool quoted = false;
    const QString code = nextFieldArgument(rest, buffer, quoted).toString();
    bool ok = false;
    const uint value = code.startsWith(u"0x", Qt::CaseInsensitive) ? code.sliced(2).toUInt(&ok, 16) : code.toUInt(&ok);
    if (!ok || value == 0 || value > 0x10FFFF)
        return std::nullopt;
    SymbolField symbol;
    symbol.value = value;
    while (!rest.trimmed().isEmpty()) {
        const QString argument = nextFieldArgument(rest, buffer, quoted).toString();
        if (quoted || !argument.startsWith(u'\\') || argument.size() != 2)
            continue;
        const QChar option = argument.at(1).toLower();
        if (option == u'f')
            symbol.fontName = nextFieldArgument(rest, buffer, quoted).toString();
        else if (option == u's')
            nextFieldArgument(rest, buffer, quoted);
        else if (option == u'u')
            symbol.unicode = true;
    }
    return symbol;
}

void FieldReader::text(std::string_view bytes)
{
    if (m_instruction.size() < MaxInstruction)
        m_instruction += QLatin1StringView(bytes.data(), qsizetype(std::min<std::size_t>(bytes.size(), std::size_t(MaxInstruction))));
}

void FieldReader::byte(char byte)
{
    if (m_instruction.size() < MaxInstruction)
        m_instruction += QChar(uchar(byte));
}

QString *FieldReader::instruction()
{
    return m_instruction.size() < MaxInstruction ? &m_instruction : nullptr;
}

QString FieldReader::takeInstruction()
{
    return std::exchange(m_instruction, QString());
}

int FieldReader::keep(QByteArrayView group, bool symbol)
{
    m_kept.push_back(group.toByteArray());
    m_symbols.push_back(symbol);
    return int(m_kept.size());
}

// Each link costs the input its instruction; consecutive fields often repeat one.
int FieldReader::addLink(QString target)
{
    if (m_links.empty() || m_links.back() != target)
        m_links.push_back(std::move(target));
    return int(m_links.size()) - 1;
}

} // namespace rtf
