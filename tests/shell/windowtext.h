#pragma once

#include <QAccessible>
#include <QFontDatabase>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaEnum>
#include <QStatusBar>

#include "twips.h"

namespace WindowParts {

template <typename Enum>
QString Key(Enum value) {
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(value));
}

// Flags a user sees when set (enabled and visible when not), values when there are any.
inline QString Flags(const QObject* object) {
    QString flags = object->property("enabled").toBool() ? "" : " disabled";
    const auto* widget = qobject_cast<const QWidget*>(object);  // hidden itself, not its window
    if (widget ? widget->isHidden() : !object->property("visible").toBool()) flags += " hidden";
    for (const char* name :
         {"checkable", "checked", "modal", "movable", "floatable", "sizeGripEnabled", "textVisible",
          "readOnly", "minimum", "maximum", "value", "lineWrapMode", "shortcut"}) {
        const QVariant value = object->property(name);
        if (value.typeId() == QMetaType::Bool && value.toBool())
            flags += ' ' + QLatin1String(name);
        else if (value.typeId() != QMetaType::Bool && !value.toString().isEmpty())
            flags += QStringLiteral(" %1=%2").arg(QLatin1String(name), value.toString());
    }
    return flags;
}

// The font as far as the window gives it: what it leaves open, the platform fills in.
inline QString Font(const QWidget* widget) {
    const QFont font = widget->font();
    const auto given = [&](QFont::ResolveProperties part) { return font.resolveMask() & part; };
    if (!widget->testAttribute(Qt::WA_SetFont)) return {};
    if (font == QFontDatabase::systemFont(QFontDatabase::FixedFont)) return " font fixed";
    return " font \"" + font.family() + '"' +
           (given(QFont::SizeResolved) ? QStringLiteral(" %1pt").arg(font.pointSize()) : "") +
           (given(QFont::WeightResolved) ? ' ' + Key(QFont::Weight(font.weight())) : "") +
           (given(QFont::StyleHintResolved) ? ' ' + Key(font.styleHint()) : "");
}

// What the window sets in twips, in whole pixels: its place, the main window's area below the
// menu bar, a status panel's width without its text (whose width is the platform font's). A
// panel that cuts its text or lies outside the bar says so, a part that fills its parent too.
inline QString Twips(QWidget* widget) {
    const auto twips = [dpi = widget->logicalDpiX()](int pixels) {
        return QString::number(Twips::FromPixels(pixels, dpi));
    };
    if (auto* panel = qobject_cast<QLabel*>(widget);
        panel && qobject_cast<QStatusBar*>(widget->parentWidget())) {
        const QString text = panel->text();
        const QFontMetrics metrics = panel->fontMetrics();  // a frame indents by half an x
        const bool whole = panel->parentWidget()->rect().contains(panel->geometry()) &&
                           panel->contentsRect().width() - metrics.horizontalAdvance('x') / 2 >=
                               metrics.horizontalAdvance(text);
        panel->clear();
        const QString width = " width " + twips(panel->sizeHint().width());
        panel->setText(text);
        return width + (whole ? "" : " cut");
    }
    if (!widget->isWindow())
        return widget->geometry() == widget->parentWidget()->rect() ? " fills" : "";
    auto* main = qobject_cast<QMainWindow*>(widget);
    if (qobject_cast<QMenu*>(widget)) return {};
    return " at " + twips(widget->x()) + ',' + twips(widget->y()) +
           (main ? " client " + twips(main->width()) + 'x' +
                       twips(main->height() - main->menuBar()->height())
                 : "") +
           (widget->minimumSize() == widget->maximumSize() ? " fixed" : "") +
           (widget->windowIcon().isNull() ? "" : " icon");
}

// Name, class, text, tip, what a screen reader hears, flags, font, twips; a text's further
// lines follow it.
inline QStringList Describe(QObject* object) {
    QStringList text{""};
    for (const char* property : {"windowTitle", "plainText", "title", "text"})
        if (const QVariant value = object->property(property); value.isValid())
            text = value.toString().split('\n');
    const QMetaObject* qt = object->metaObject();
    while (qt->className()[0] != 'Q') qt = qt->superClass();
    const QString name = object->objectName();
    QString line = QStringLiteral("%1 %2 \"%3\"")
                       .arg(name.isEmpty() ? object->metaObject()->className() : name,
                            qt->className(), text.takeFirst());
    if (const QString tip = object->property("toolTip").toString(); !tip.isEmpty())
        line += " tip \"" + tip + '"';
    auto* action = qobject_cast<QAction*>(object);
    auto* widget = qobject_cast<QWidget*>(object);
    auto* menu = qobject_cast<QMenu*>(object);
    if (QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(widget)) {
        const QString about = reader->text(QAccessible::Description);
        line += " reader " + Key(reader->role()) + " \"" + reader->text(QAccessible::Name) + '"' +
                (about.isEmpty() ? "" : " \"" + about + '"');
    }
    line += Flags(menu ? menu->menuAction() : object);  // a menu's flags are its entry's
    if (action)
        line += QString(action->isSeparator() ? " separator" : "") +
                (action->icon().isNull() ? "" : " icon");
    if (widget) line += Font(widget) + Twips(widget);
    if (widget && widget->testAttribute(Qt::WA_SetCursor) &&
        widget->cursor().shape() != Qt::ArrowCursor)
        line += " pointer " + Key(widget->cursor().shape());
    if (menu && menu->menuAction()->associatedObjects().isEmpty()) line += " popup";
    if (auto* label = qobject_cast<QLabel*>(object); label && !label->pixmap().isNull())
        line += " picture";
    for (QString& more : text) more.prepend("| ");
    return QStringList{line} + text;
}

}  // namespace WindowParts

// A window as text, one line per named widget and action, indented by depth: name, class,
// caption, tip, what a screen reader hears, flags, and the fonts and twips the window sets. Qt's
// own parts, unnamed or named qt_..., are left out but their named parts kept.
inline QStringList WindowText(QObject* object, int depth = 0) {
    const QString name = object->objectName();
    const bool shown = depth == 0 || !(name.isEmpty() || name.startsWith("qt_"));
    QStringList lines;
    if (shown)
        for (const QString& line : WindowParts::Describe(object))
            lines << QString(2 * depth, ' ') + line;
    for (QObject* child : object->children())
        if (child->isWidgetType() || qobject_cast<QAction*>(child))
            lines << WindowText(child, depth + shown);
    return lines;
}

// The lines of `now` that differ from `before` at the same place.
inline QStringList Changed(const QStringList& before, const QStringList& now) {
    QStringList changed;
    for (qsizetype i = 0; i < now.size(); ++i)
        if (i >= before.size() || now[i] != before[i]) changed << now[i];
    return changed;
}
