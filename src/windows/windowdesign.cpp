#include "windows/windowdesign.h"

#include "app/twips.h"

#include <QCalendarWidget>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include <algorithm>

QColor designColour(BgrColour value, const QPalette &palette)
{
    switch (value) {
    case SystemWindowColour:
        return palette.color(QPalette::Base);
    case SystemFaceColour:
        return palette.color(QPalette::Button);
    case SystemShadowColour:
        return palette.color(QPalette::Dark);
    default:
        return colourFromBgr(value & 0x00FFFFFF);
    }
}

QFont designFont(const FontDesign &design)
{
    // The family stays the one asked for even where it is not installed; the font
    // database then shows its substitute.
    QFont font(QString::fromUtf8(design.family));
    font.setPointSizeF(design.points);
    font.setWeight(design.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(design.italic);
    font.setUnderline(design.underline);
    font.setStrikeOut(design.strikeOut);
    return font;
}

void applyWindowDesign(QWidget *window, const WindowDesign &design)
{
    window->setWindowTitle(QString::fromUtf8(design.caption));
    window->setFont(designFont(design.font));
    const QSize size = twipsToPixels(design.clientWidth, design.clientHeight);
    if (design.clientPosition)
        window->setGeometry(QRect(QPoint(twipsToPixels(design.clientPosition->x()),
                                         twipsToPixels(design.clientPosition->y())),
                                  size));
    else
        window->resize(size);

    if (design.backColour) {
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, designColour(*design.backColour, palette));
        window->setPalette(palette);
        window->setAutoFillBackground(true);
    }
}

namespace {

// Dark faces get white text, light ones black, so that every caption stays readable.
QColor readableTextOn(const QColor &face)
{
    const double luma = 0.299 * face.redF() + 0.587 * face.greenF() + 0.114 * face.blueF();
    return luma < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
}

// The platform style tints a button's face colour into a gradient; a face of its own is
// drawn flat so that the button shows exactly its colour.
QString colouredFaceStyle(const QColor &face, const QColor &text)
{
    return QStringLiteral("QPushButton { background-color: %1; color: %2;"
                          " border: 1px solid palette(shadow); border-radius: 2px; padding: 0px; }"
                          " QPushButton:focus { border: 2px solid palette(highlight); }"
                          " QPushButton:pressed { border: 2px inset palette(dark); }")
        .arg(face.name(), text.name());
}

QWidget *createControl(QWidget *window, const ControlDesign &row)
{
    const QString text = QString::fromUtf8(row.text);
    switch (row.kind) {
    case ControlKind::Label: {
        auto *label = new QLabel(window);
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // A label is opaque in the face colour unless it has a colour of its own, so on
        // a coloured window it shows as a band.
        label->setAutoFillBackground(true);
        label->setBackgroundRole(QPalette::Button);
        label->setForegroundRole(QPalette::ButtonText);
        if (row.backColour) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::Button, designColour(*row.backColour, palette));
            label->setPalette(palette);
        }
        return label;
    }
    case ControlKind::PushButton: {
        auto *button = new QPushButton(text, window);
        // No button answers Enter or Esc for the window.
        button->setAutoDefault(false);
        button->setDefault(false);
        if (row.backColour) {
            QPalette palette = button->palette();
            const QColor face = designColour(*row.backColour, palette);
            palette.setColor(QPalette::Button, face);
            palette.setColor(QPalette::ButtonText, readableTextOn(face));
            button->setPalette(palette);
            button->setStyleSheet(colouredFaceStyle(face, readableTextOn(face)));
        }
        return button;
    }
    case ControlKind::Calendar:
        return new QCalendarWidget(window);
    }
    Q_UNREACHABLE();
}

} // namespace

std::vector<QWidget *> buildControls(QWidget *window, std::span<const ControlDesign> rows)
{
    std::vector<QWidget *> controls;
    std::vector<std::pair<int, QWidget *>> focusable;
    controls.reserve(rows.size());

    for (const ControlDesign &row : rows) {
        QWidget *control = createControl(window, row);
        control->setObjectName(QString::fromUtf8(row.name));
        if (row.font)
            control->setFont(designFont(*row.font));
        // Controls keep their places and sizes whatever the window's size.
        const QRect rect = twipsRect(row.rect.left, row.rect.top, row.rect.width, row.rect.height);
        control->move(rect.topLeft());
        control->setFixedSize(rect.size());
        controls.push_back(control);
        if (control->focusPolicy() != Qt::NoFocus)
            focusable.emplace_back(row.tabIndex, control);
    }

    std::stable_sort(focusable.begin(), focusable.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(focusable[i - 1].second, focusable[i].second);
    if (!focusable.empty())
        focusable.front().second->setFocus();

    return controls;
}
