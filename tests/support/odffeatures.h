#pragma once
// What a flat ODF text document holds, one comparable value per feature: two documents have a
// feature alike when their values are equal. A value is a list of strings, empty when the
// document lacks the feature. Where order carries no meaning the list is sorted; runs of equal
// entries are written once with a count ("x ×3"), so that a difference reads in a line.

#include "support/odfdocument.h"

#include <QMap>
#include <algorithm>
#include <functional>

namespace odf {

using Features = QMap<QString, QStringList>;

// The features in the order a report shows them, and what is compared of each. "The body" is
// the main text with its tables, lists, sections and indexes, not notes, comments, frames or
// headers, which have rows of their own; per-paragraph values skip paragraphs without text,
// whose formats hardly show.
inline const QStringList &featureNames()
{
    static const QStringList names = {
        "text",                    // the body's visible text, whitespace normalised; fields show their results
        "character formats",       // runs of visible characters by size, bold, italic, underline, strikeout, colour, background
        "fonts",                   // the set of typefaces of visible characters
        "paragraph formats",       // alignment, left/right/first-line indents and spacing before/after per paragraph (0.01 cm)
        "line spacing",            // proportional, exact, at-least or leading spacing per paragraph, if any is not single
        "tab stops",               // position, kind and leader of each tab stop per paragraph, if any paragraph has them
        "paragraph borders",       // the border of each side per paragraph, if any has one
        "paragraph shading",       // the background colour per paragraph, if any has one
        "styles",                  // the set of named paragraph and character styles applied in the body, but "Standard"
        "lists",                   // each list item's level and the kind of its label, in order
        "tables",                  // rows, columns and merged cells of each table, nested ones too, in order
        "pictures",                // how many pictures (not the pictures that stand in for objects)
        "links",                   // the set of link targets
        "headers",                 // the set of header texts of the page styles used, first and left ones too
        "footers",                 // the same for footers
        "notes",                   // footnotes and endnotes in order: class and text
        "comments",                // comments in order: author and text
        "page size and margins",   // the set of page sizes and margins of the page styles used (0.01 cm)
        "page breaks",             // how many paragraphs and tables break the page before or after them
        "sections",                // sections with their columns, page styles started, multi-column pages
        "fields",                  // the multiset of field kinds (page numbers, dates, references, indexes...), not links
        "bookmarks",               // the set of bookmark names
        "languages",               // the set of languages of visible characters
        "hidden text",             // the hidden characters of the body, and hidden-text fields
        "embedded objects",        // how many embedded (OLE) objects
        "shapes and text boxes",   // the multiset of drawing shapes and text boxes, each with its text
        "raised and lowered text", // how many characters stand at each raised or lowered position
        "document info",           // title, subject, authors, keywords and description; not dates or statistics
    };
    return names;
}

namespace detail {

// Consecutive equal entries once, with their count.
inline QStringList runs(const QStringList &sequence)
{
    QStringList out;
    for (qsizetype i = 0; i < sequence.size();) {
        qsizetype j = i;
        while (j < sequence.size() && sequence[j] == sequence[i])
            ++j;
        out << (j - i > 1 ? QStringLiteral("%1 ×%2").arg(sequence[i]).arg(j - i) : sequence[i]);
        i = j;
    }
    return out;
}

class Extractor
{
public:
    explicit Extractor(const Node &root)
    {
        for (const Node &document : root.children) {
            for (const Node &part : document.children) {
                if (part.name == QLatin1String("office:meta")) {
                    meta(part);
                } else if (part.name != QLatin1String("office:body")) {
                    m_styles.read(part); // styles come before the body
                } else {
                    for (const Node &text : part.children)
                        if (text.name == QLatin1String("office:text")) {
                            census(text, 0, {});
                            body(text);
                        }
                }
            }
        }
        finish();
    }
    Features features;

private:
    struct Look {
        QString format, font, language, position;
        bool hidden = false;
    };
    Styles m_styles;
    QStringList m_pages; // master pages in the order the body turns to them
    QStringList m_paragraphFormats, m_lineSpacing, m_tabs, m_borders, m_shading, m_characters;
    QString m_text, m_hidden;
    QMap<QString, qsizetype> m_positions;
    int m_pageBreaks = 0;
    QHash<QString, Look> m_looks;

    QStringList &out(const char *feature) { return features[QLatin1String(feature)]; }

    void meta(const Node &meta)
    {
        static const QSet<QString> kept = {"dc:title", "dc:subject", "meta:initial-creator", "dc:creator", "meta:keyword",
                                           "dc:description"};
        for (const Node &m : meta.children)
            if (kept.contains(m.name) && !textOf(m).isEmpty())
                out("document info") << m.name.section(':', 1) + ": " + textOf(m);
    }

    // Everything counted wherever it stands: in the body, notes, tables, frames and headers alike.
    void census(const Node &node, int listDepth, const QString &listStyle)
    {
        static const QSet<QString> fields = {
            "page-number", "page-count", "page-continuation", "date", "time", "author-name", "author-initials", "creator",
            "initial-creator", "title", "subject", "description", "keywords", "file-name", "template-name", "chapter",
            "sequence", "sequence-ref", "bookmark-ref", "reference-ref", "note-ref", "user-field-get", "user-field-input",
            "user-defined", "variable-get", "variable-set", "variable-input", "expression", "text-input", "drop-down",
            "conditional-text", "database-display", "database-name", "database-next", "database-row-select",
            "database-row-number", "table-formula", "execute-macro", "placeholder", "word-count", "character-count",
            "paragraph-count", "table-count", "image-count", "object-count", "editing-cycles", "editing-duration",
            "creation-date", "creation-time", "modification-date", "modification-time", "print-date", "print-time",
            "printed-by", "table-of-content", "alphabetical-index", "illustration-index", "table-index", "object-index",
            "user-index", "bibliography", "toc-mark", "toc-mark-start", "alphabetical-index-mark",
            "alphabetical-index-mark-start", "user-index-mark", "bibliography-mark", "script", "dde-connection",
            "measure", "sheet-name", "page-variable-get", "page-variable-set", "meta-field"};
        static const QSet<QString> shapes = {"custom-shape", "rect", "ellipse", "circle", "line", "polyline", "polygon",
                                             "path", "connector", "caption", "regular-polygon", "g", "control"};
        const QString &name = node.name;
        const QString local = name.section(':', 1);
        const auto isObject = [](const Node &n) {
            return n.name == QLatin1String("draw:object") || n.name == QLatin1String("draw:object-ole");
        };
        if (name.isEmpty() || name == QLatin1String("text:tracked-changes"))
            return;
        if (name.startsWith(QLatin1String("text:")) && fields.contains(local)) {
            out("fields") << local;
        } else if (name == QLatin1String("field:fieldmark-start") || name == QLatin1String("field:fieldmark")) {
            out("fields") << "fieldmark " + node.attr("field:type").section('.', -1); // form fields
        } else if (name == QLatin1String("text:hidden-text") || name == QLatin1String("text:hidden-paragraph")) {
            out("hidden text") << local + ": " + node.attr("text:string-value");
        } else if (name == QLatin1String("text:note")) {
            out("notes") << node.attr("text:note-class") + ": " + textOf(node);
        } else if (name == QLatin1String("office:annotation")) {
            QString author;
            for (const Node &c : node.children)
                if (c.name == QLatin1String("dc:creator") && !c.children.empty())
                    author = c.children.front().text;
            out("comments") << author + ": " + textOf(node);
        } else if (name == QLatin1String("text:a")) {
            out("links") << node.attr("xlink:href");
        } else if (name == QLatin1String("text:bookmark") || name == QLatin1String("text:bookmark-start")) {
            out("bookmarks") << node.attr("text:name");
        } else if (name == QLatin1String("draw:frame")) {
            const bool object = std::any_of(node.children.cbegin(), node.children.cend(), isObject);
            for (const Node &c : node.children) {
                if (c.name == QLatin1String("draw:image") && !object)
                    out("pictures") << "picture";
                else if (isObject(c))
                    out("embedded objects") << "object";
                else if (c.name == QLatin1String("draw:text-box"))
                    out("shapes and text boxes") << "text-box: " + textOf(c);
            }
        } else if (name.startsWith(QLatin1String("draw:")) && shapes.contains(local)) {
            out("shapes and text boxes") << local + ": " + textOf(node);
        } else if (name == QLatin1String("table:table")) {
            table(node);
        } else if (name == QLatin1String("text:section")) {
            const auto styles = m_styles.chain("section", node.attr("text:style-name"), false);
            const int columns = Styles::value(styles, "section-properties/columns/fo:column-count").toInt();
            out("sections") << QStringLiteral("section columns %1").arg(qMax(1, columns));
        } else if (name == QLatin1String("text:list")) {
            for (const Node &c : node.children)
                census(c, listDepth + 1, node.attributes.value("text:style-name", listStyle));
            return;
        } else if (name == QLatin1String("text:list-item")) {
            const QString level = QString::number(listDepth);
            out("lists") << level + ' ' + m_styles.lists.value(listStyle).value(level);
        }
        for (const Node &c : node.children)
            census(c, listDepth, listStyle);
    }

    // Rows and columns of a table, not counting those of tables inside it, and its merged cells.
    void table(const Node &table)
    {
        int rows = 0, columns = 0, merged = 0;
        const std::function<void(const Node &)> walk = [&](const Node &n) {
            for (const Node &c : n.children) {
                columns += c.name == QLatin1String("table:table-column") ? qMax(1, c.attr("table:number-columns-repeated").toInt()) : 0;
                rows += c.name == QLatin1String("table:table-row");
                merged += c.attr("table:number-columns-spanned").toInt() > 1 || c.attr("table:number-rows-spanned").toInt() > 1;
                if (c.name != QLatin1String("table:table") && !c.name.isEmpty())
                    walk(c);
            }
        };
        walk(table);
        out("tables") << QStringLiteral("%1x%2 merged %3").arg(rows).arg(columns).arg(merged);
    }

    void body(const Node &node)
    {
        for (const Node &c : node.children) {
            if (c.name == QLatin1String("text:p") || c.name == QLatin1String("text:h")) {
                paragraph(c);
            } else if (c.name == QLatin1String("table:table")) {
                const auto styles = m_styles.chain("table", c.attr("table:style-name"), false);
                block(styles, "table-properties/");
                body(c);
            } else if (!c.name.isEmpty() && !c.name.startsWith(QLatin1String("draw:")) && !c.name.endsWith(QLatin1String("-source"))
                       && c.name != QLatin1String("text:tracked-changes") && c.name != QLatin1String("office:annotation")) {
                body(c); // lists, sections, table rows and cells, index bodies
            }
        }
    }

    // A paragraph or table: the page style it starts, if any, and the page breaks it makes. The
    // body starts with "Standard" unless its first block names another.
    void block(const QList<const Style *> &styles, const QString &properties)
    {
        const QString page = styles.isEmpty() ? QString() : styles.first()->masterPage;
        if (m_pages.isEmpty() && page.isEmpty())
            m_pages << "Standard";
        if (!page.isEmpty())
            m_pages << page;
        for (const char *side : {"fo:break-before", "fo:break-after"})
            m_pageBreaks += Styles::value(styles, properties + side) == QLatin1String("page");
    }

    void paragraph(const Node &p)
    {
        const QString styleName = p.attr("text:style-name");
        const auto styles = m_styles.chain("paragraph", styleName);
        block(styles, "paragraph-properties/");
        if (const QString named = Styles::named(styles); !named.isEmpty() && named != QLatin1String("Standard"))
            out("styles") << "paragraph " + named;
        QString text;
        inlineContent(p, {}, styleName, text);
        m_text += text + '\n';
        if (text.simplified().isEmpty())
            return;

        const auto property = [&](const QString &key) { return Styles::value(styles, "paragraph-properties/" + key); };
        const auto length = [&](const char *key) { return property(key).isEmpty() ? QStringLiteral("0.00") : cm(property(key)); };
        QString align = property("fo:text-align");
        align = align == "start" || align.isEmpty() ? "left" : align == "end" ? "right" : align;
        m_paragraphFormats << QStringLiteral("%1 l%2 r%3 i%4 t%5 b%6")
                                  .arg(align, length("fo:margin-left"), length("fo:margin-right"), length("fo:text-indent"),
                                       length("fo:margin-top"), length("fo:margin-bottom"));

        const QStringList spacing = Styles::nearest(styles, {"fo:line-height", "style:line-height-at-least", "style:line-spacing"});
        const bool single = spacing.isEmpty() || ((spacing[0] == "100%" || spacing[0] == "normal") && spacing[1].isEmpty() && spacing[2].isEmpty());
        m_lineSpacing << (single                     ? QStringLiteral("-")
                          : !spacing[1].isEmpty()    ? "at least " + cm(spacing[1])
                          : !spacing[2].isEmpty()    ? "leading " + cm(spacing[2])
                          : spacing[0].endsWith('%') ? spacing[0]
                                                     : "exactly " + cm(spacing[0]));

        const auto withTabs = std::find_if(styles.cbegin(), styles.cend(), [](const Style *s) { return s->hasTabs; });
        m_tabs << (withTabs != styles.cend() && !(*withTabs)->tabs.isEmpty() ? (*withTabs)->tabs.join(", ") : "-");

        QStringList borders;
        for (const char *side : {"top", "bottom", "left", "right"}) {
            const QStringList b = Styles::nearest(styles, {QLatin1String("fo:border-") + side, "fo:border"});
            const QString line = b.isEmpty() ? QString() : b[0].isEmpty() ? b[1] : b[0];
            if (!line.isEmpty() && line != "none")
                borders << side + QStringLiteral(" ") + line;
        }
        m_borders << (borders.isEmpty() ? "-" : borders.join(", "));

        const QString shade = property("fo:background-color");
        m_shading << (shade.isEmpty() || shade == "transparent" ? "-" : shade);
    }

    // How characters look through their spans' styles and then their paragraph's.
    const Look &look(const QStringList &spans, const QString &paragraphStyle)
    {
        const QString key = spans.join('|') + '#' + paragraphStyle;
        if (const auto it = m_looks.constFind(key); it != m_looks.cend())
            return *it;
        QList<const Style *> styles;
        for (auto s = spans.crbegin(); s != spans.crend(); ++s)
            styles += m_styles.chain("text", *s, false);
        styles += m_styles.chain("paragraph", paragraphStyle);
        const auto t = [&](const char *key) { return Styles::value(styles, QLatin1String("text-properties/") + key); };
        QString colour;
        for (const Style *s : std::as_const(styles)) {
            colour = s->props.value("text-properties/fo:color");
            if (!colour.isEmpty() || s->props.value("text-properties/style:use-window-font-color") == "true")
                break;
        }
        const QString weight = t("fo:font-weight"), underline = t("style:text-underline-style"),
                      strike = t("style:text-line-through-style"), background = t("fo:background-color");
        QStringList format{t("fo:font-size")};
        if (weight == "bold" || weight.toInt() >= 600)
            format << "B";
        if (t("fo:font-style") == "italic" || t("fo:font-style") == "oblique")
            format << "I";
        if (!underline.isEmpty() && underline != "none")
            format << "U" + (underline == "solid" ? QString() : underline) + (t("style:text-underline-type") == "double" ? "2" : "");
        if (!strike.isEmpty() && strike != "none")
            format << "S";
        if (!colour.isEmpty() && colour != "#000000")
            format << colour; // automatic and black look alike on paper
        if (!background.isEmpty() && background != "transparent")
            format << "bg" + background;
        const QString position = t("style:text-position"), country = t("fo:country");
        return m_looks[key] = {format.join(' '), m_styles.fonts.value(t("style:font-name"), t("fo:font-family").remove('\'')),
                               t("fo:language") + (country.isEmpty() || country == "none" ? "" : "-" + country),
                               position.startsWith(QLatin1String("0%")) ? QString() : position, t("text:display") == "none"};
    }

    void inlineContent(const Node &node, QStringList spans, const QString &paragraphStyle, QString &text)
    {
        // Notes, comments and frames have rows of their own; list labels are LibreOffice's.
        static const QSet<QString> skipped = {"text:note", "office:annotation", "text:number", "text:hidden-text",
                                              "text:soft-page-break", "text:tracked-changes"};
        if (node.name == QLatin1String("text:span"))
            spans << node.attr("text:style-name");
        for (const Node &c : node.children) {
            if (c.name.isEmpty()) {
                const Look &l = look(spans, paragraphStyle);
                if (l.hidden) {
                    m_hidden += c.text;
                    continue;
                }
                text += c.text;
                const qsizetype visible = std::count_if(c.text.cbegin(), c.text.cend(), [](QChar ch) { return !ch.isSpace(); });
                if (!visible)
                    continue;
                qsizetype run = visible;
                if (!m_characters.isEmpty() && m_characters.last().section(' ', 1) == l.format)
                    run += m_characters.takeLast().section(' ', 0, 0).toLongLong();
                m_characters << QString::number(run) + ' ' + l.format;
                out("fonts") << l.font;
                out("languages") << l.language;
                if (!l.position.isEmpty())
                    m_positions[l.position] += visible;
            } else if (c.name == QLatin1String("text:s") || c.name == QLatin1String("text:tab") || c.name == QLatin1String("text:line-break")) {
                text += ' ';
            } else if (c.name == QLatin1String("text:span")) {
                if (const QString named = Styles::named(m_styles.chain("text", c.attr("text:style-name"), false)); !named.isEmpty())
                    out("styles") << "character " + named;
                inlineContent(c, spans, paragraphStyle, text);
            } else if (!skipped.contains(c.name) && !c.name.startsWith(QLatin1String("draw:"))) {
                inlineContent(c, spans, paragraphStyle, text); // links, fields, bookmarks: their text shows
            }
        }
    }

    void finish()
    {
        if (m_pages.isEmpty())
            m_pages << "Standard";
        // Count a new page style where the page style changes, not for the first page's own.
        for (qsizetype i = 1; i < m_pages.size(); ++i)
            out("sections") << "new page style";
        // A page style can name the next one (a first page's style, say): the pages use that too.
        QStringList pages;
        for (QString name : std::as_const(m_pages))
            for (; !name.isEmpty() && !pages.contains(name); name = m_styles.masters.value(name).next)
                pages << name;
        for (const QString &name : std::as_const(pages)) {
            const MasterPage master = m_styles.masters.value(name);
            for (const QString &part : master.parts)
                if (!part.section(": ", 1).isEmpty())
                    out(part.startsWith("header") ? "headers" : "footers") << part;
            const Style layout = m_styles.styles.value("page/" + master.layout);
            const auto p = [&](const char *key) { return cm(layout.props.value(QLatin1String("page-layout-properties/fo:") + key)); };
            out("page size and margins") << QStringLiteral("%1x%2 t%3 b%4 l%5 r%6")
                                                .arg(p("page-width"), p("page-height"), p("margin-top"), p("margin-bottom"),
                                                     p("margin-left"), p("margin-right"));
            if (const int columns = layout.props.value("page-layout-properties/columns/fo:column-count").toInt(); columns > 1)
                out("sections") << QStringLiteral("page columns %1").arg(columns);
        }

        // Per-paragraph values that say nothing ("-") for every paragraph mean the feature is absent.
        const auto sequence = [](const QStringList &list) {
            return std::all_of(list.cbegin(), list.cend(), [](const QString &s) { return s == "-"; }) ? QStringList() : runs(list);
        };
        out("paragraph formats") = runs(m_paragraphFormats);
        out("line spacing") = sequence(m_lineSpacing);
        out("tab stops") = sequence(m_tabs);
        out("paragraph borders") = sequence(m_borders);
        out("paragraph shading") = sequence(m_shading);
        out("character formats") = m_characters;
        out("text") << m_text.simplified();
        out("hidden text") << m_hidden.simplified();
        for (auto it = m_positions.cbegin(); it != m_positions.cend(); ++it)
            out("raised and lowered text") << QStringLiteral("%1 ×%2").arg(it.key()).arg(it.value());
        if (m_pageBreaks)
            out("page breaks") << QString::number(m_pageBreaks);
        for (const char *set : {"styles", "fonts", "languages", "links", "bookmarks", "page size and margins", "headers",
                                "footers", "document info"}) {
            out(set).sort();
            out(set).removeDuplicates();
        }
        for (const char *multiset : {"fields", "sections", "shapes and text boxes"}) {
            out(multiset).sort();
            out(multiset) = runs(out(multiset));
        }
        for (const char *sequence : {"lists", "tables"})
            out(sequence) = runs(out(sequence));
        for (const char *count : {"pictures", "embedded objects"})
            if (const qsizetype n = out(count).size())
                out(count) = QStringList{QString::number(n)};
        for (auto it = features.begin(); it != features.end();)
            it = it->isEmpty() || it->join(QString()).isEmpty() ? features.erase(it) : std::next(it);
    }
};

} // namespace detail

// The features of a flat ODF text document, the empty ones left out; none at all for a
// document that does not parse.
inline Features features(const QByteArray &flatOdt)
{
    const Node root = parse(flatOdt);
    return root.children.empty() ? Features() : detail::Extractor(root).features;
}

} // namespace odf
