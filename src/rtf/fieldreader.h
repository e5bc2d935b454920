#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>
#include <string_view>
#include <vector>

namespace rtf {

// What a field's instruction asks for, as far as the reader acts on it.
enum class FieldKind { Other, Link, Symbol };

// The kind of a field from its instruction, and the arguments after its name.
FieldKind fieldKind(QStringView instruction, QStringView &arguments);

// The target of a HYPERLINK field from the arguments after its name, with its \l
// bookmark as a fragment.
QString hyperlinkTarget(QStringView arguments);

// The character a SYMBOL field shows, from the arguments after its name.
struct SymbolField {
    char32_t value = 0;
    QString fontName; // \f: the font it is in; empty: the text's own
    bool unicode = false; // \u: a character, not a byte in the font's code page
};
std::optional<SymbolField> symbolField(QStringView arguments);

// The fields of a document: the instruction being read, the instructions kept as written
// for the fields whose result is shown, and the targets of links.
class FieldReader
{
public:
    // A \fldinst group opens.
    void start() { m_instruction.clear(); }
    void text(std::string_view bytes);
    void byte(char byte);
    // Where a character of the instruction goes; null once it holds all it may.
    QString *instruction();
    QString takeInstruction();

    // Keeps a field's instruction group as written: its id, from 1. A SYMBOL field's
    // character stands for its result: the writer must know it as the reader took it.
    int keep(QByteArrayView group, bool symbol = false);
    const QByteArray &kept(int id) const { return m_kept[std::size_t(id - 1)]; }
    bool isSymbol(int id) const { return m_symbols[std::size_t(id - 1)]; }

    // The index of a link's target.
    int addLink(QString target);
    const QString &link(int index) const { return m_links[std::size_t(index)]; }

private:
    QString m_instruction;
    std::vector<QByteArray> m_kept; // braces included
    std::vector<bool> m_symbols;
    std::vector<QString> m_links;
};

} // namespace rtf
