#pragma once
// A flat ODF text document (.fodt, as LibreOffice saves it) as a tree of elements, and its
// styles, so that what a paragraph or a run looks like can be looked up through the styles it
// inherits from. Names are qualified names as written: LibreOffice always uses the standard
// prefixes, and matching "text:p" reads better than namespace pairs.

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>
#include <vector>

namespace odf {

struct Node {
    QString name; // empty for text
    QString text;
    QHash<QString, QString> attributes;
    std::vector<Node> children;
    QString attr(const QString &key) const { return attributes.value(key); }
};

// The document's root; without children if the XML does not parse.
inline Node parse(const QByteArray &xml)
{
    Node root;
    std::vector<Node *> open{&root}; // only the last child of an open node grows: pointers stay valid
    QXmlStreamReader reader(xml);
    int binary = 0; // base64 pictures are large and say nothing we compare
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            Node &node = open.back()->children.emplace_back();
            node.name = reader.qualifiedName().toString();
            for (const QXmlStreamAttribute &a : reader.attributes())
                node.attributes.insert(a.qualifiedName().toString(), a.value().toString());
            binary += node.name == QLatin1String("office:binary-data");
            open.push_back(&node);
        } else if (reader.isEndElement()) {
            binary -= open.back()->name == QLatin1String("office:binary-data");
            open.pop_back();
        } else if (reader.isCharacters() && !binary) {
            open.back()->children.emplace_back().text = reader.text().toString();
        }
    }
    return reader.hasError() ? Node() : root;
}

// A length as centimetres to two places, so that inches and points written for the same
// twips compare equal; anything else unchanged.
inline QString cm(const QString &length)
{
    static const QRegularExpression number("^(-?[0-9.]+)(in|cm|mm|pt|pc)$");
    static const QHash<QString, double> perUnit = {{"in", 2.54}, {"cm", 1}, {"mm", 0.1}, {"pt", 2.54 / 72}, {"pc", 2.54 / 6}};
    const auto m = number.match(length.trimmed());
    if (!m.hasMatch())
        return length;
    const double value = m.captured(1).toDouble() * perUnit.value(m.captured(2));
    return QString::number(qAbs(value) < 0.005 ? 0.0 : value, 'f', 2);
}

// The text of a subtree as a reader sees it, whitespace normalised: a blank where lines and
// paragraphs part; no note marks, list labels, comment authors or deleted text.
inline void collectText(const Node &node, QString &text)
{
    static const QSet<QString> skipped = {"text:note-citation", "dc:creator", "dc:date", "meta:creator-initials",
                                          "text:tracked-changes", "text:number"};
    if (skipped.contains(node.name))
        return;
    text += node.text;
    for (const Node &child : node.children)
        collectText(child, text);
    static const QSet<QString> blank = {"text:p", "text:h", "text:s", "text:tab", "text:line-break"};
    if (blank.contains(node.name))
        text += ' ';
}
inline QString textOf(const Node &node)
{
    QString text;
    collectText(node, text);
    return text.simplified();
}

struct Style {
    QString parent, display, masterPage;
    bool automatic = false;
    QHash<QString, QString> props; // "paragraph-properties/fo:margin-left", "section-properties/columns/fo:column-count"
    bool hasTabs = false;          // an empty list of tab stops still replaces the parent's
    QStringList tabs;              // "position type char leader"
};

struct MasterPage {
    QString layout, next;
    QStringList parts; // "header: text", "footer-left: text"...
};

class Styles
{
public:
    QHash<QString, Style> styles;                  // "family/name"; a family's default has an empty name; page layouts are "page/"
    QHash<QString, QHash<QString, QString>> lists; // list style -> level -> "number 1", "bullet"
    QHash<QString, QString> fonts;                 // font face -> family
    QHash<QString, MasterPage> masters;

    // Takes in the styles of office:styles, office:automatic-styles, office:master-styles or
    // office:font-face-decls.
    void read(const Node &container)
    {
        const bool automatic = container.name == QLatin1String("office:automatic-styles");
        for (const Node &n : container.children) {
            if (n.name == QLatin1String("style:style") || n.name == QLatin1String("style:default-style")
                || n.name == QLatin1String("style:page-layout")) {
                const QString family = n.name == QLatin1String("style:page-layout") ? "page" : n.attr("style:family");
                Style &s = styles[family + '/' + n.attr("style:name")];
                s.parent = n.attr("style:parent-style-name");
                s.display = n.attributes.value("style:display-name", n.attr("style:name"));
                s.masterPage = n.attr("style:master-page-name");
                s.automatic = automatic;
                flatten(n, {}, s);
            } else if (n.name == QLatin1String("text:list-style")) {
                for (const Node &level : n.children) // text:list-level-style-number, -bullet, -image
                    if (!level.name.isEmpty())
                        lists[n.attr("style:name")][level.attr("text:level")] =
                            (level.name.section('-', 3) + ' ' + level.attr("style:num-format")).trimmed();
            } else if (n.name == QLatin1String("style:font-face")) {
                fonts.insert(n.attr("style:name"), n.attr("svg:font-family").remove('\''));
            } else if (n.name == QLatin1String("style:master-page")) {
                MasterPage &master = masters[n.attr("style:name")];
                master.layout = n.attr("style:page-layout-name");
                master.next = n.attr("style:next-style-name");
                for (const Node &part : n.children) // header, header-left, header-first, footer...
                    if (part.name.startsWith(QLatin1String("style:header")) || part.name.startsWith(QLatin1String("style:footer")))
                        master.parts << part.name.mid(6) + ": " + textOf(part);
            }
        }
    }

    // The style and those it inherits from, nearest first; then the family's default if asked.
    QList<const Style *> chain(const QString &family, QString name, bool withDefault = true) const
    {
        QList<const Style *> found;
        for (int depth = 0; !name.isEmpty() && depth < 32; ++depth) {
            const auto it = styles.constFind(family + '/' + name);
            if (it == styles.cend())
                break;
            found << &*it;
            name = it->parent;
        }
        if (const auto it = styles.constFind(family + '/'); withDefault && it != styles.cend())
            found << &*it;
        return found;
    }

    static QString value(const QList<const Style *> &chain, const QString &key)
    {
        for (const Style *s : chain)
            if (const auto it = s->props.constFind(key); it != s->props.cend())
                return *it;
        return {};
    }

    // The paragraph properties `keys` as the nearest style that sets any of them gives them:
    // they go together (a style's exact line height replaces its parent's proportional one).
    static QStringList nearest(const QList<const Style *> &chain, const QStringList &keys)
    {
        for (const Style *s : chain) {
            QStringList values;
            for (const QString &k : keys)
                values << s->props.value("paragraph-properties/" + k);
            if (!values.join(QString()).isEmpty())
                return values;
        }
        return {};
    }

    // The style a user would name: the first that is neither automatic nor the family default.
    static QString named(const QList<const Style *> &chain)
    {
        for (const Style *s : chain)
            if (!s->automatic)
                return s->display;
        return {};
    }

private:
    static void flatten(const Node &node, const QString &path, Style &style)
    {
        for (const Node &child : node.children) {
            if (child.name.isEmpty())
                continue;
            if (child.name == QLatin1String("style:tab-stops")) {
                style.hasTabs = true;
                for (const Node &t : child.children)
                    if (!t.name.isEmpty())
                        style.tabs << QStringList{cm(t.attr("style:position")), t.attr("style:type"), t.attr("style:char"),
                                                  t.attr("style:leader-style"), t.attr("style:leader-text")}
                                          .filter(QRegularExpression(".")).join(' ');
                continue;
            }
            const QString local = path + child.name.section(':', 1);
            for (auto a = child.attributes.cbegin(); a != child.attributes.cend(); ++a)
                style.props.insert(local + '/' + a.key(), a.value());
            flatten(child, local + '/', style);
        }
    }
};

} // namespace odf
