#include <QAccessible>
#include <QDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaEnum>
#include <QStatusBar>
#include <QTimer>

#include "clearcommand.h"
#include "clshexcomm.h"
#include "connectcommand.h"
#include "desktopidentity.h"
#include "eventloopwaits.h"
#include "frmmain.h"
#include "golden.h"
#include "importcommand.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "settings.h"
#include "simprocess.h"
#include "testmain.h"
#include "twips.h"
#include "viewcommand.h"

namespace {

const QString kData = qEnvironmentVariable("KESTREL_TEST_DATA");

template <typename Enum>
QString Key(Enum value) {
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(value));
}

// Flags a user sees when set (enabled and visible when not), values when there are any.
QString Flags(const QObject* object) {
    QString flags = object->property("enabled").toBool() ? "" : " disabled";
    if (!object->property("visible").toBool()) flags += " hidden";
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
QString Font(const QWidget* widget) {
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
// menu bar, the status panels' widths (without the text, whose width is the platform font's).
QString Twips(QWidget* widget) {
    const auto twips = [dpi = widget->logicalDpiX()](int pixels) {
        return QString::number(Twips::FromPixels(pixels, dpi));
    };
    if (auto* panel = qobject_cast<QLabel*>(widget);
        panel && qobject_cast<QStatusBar*>(widget->parentWidget())) {
        const QString text = panel->text();
        panel->clear();
        const QString width = " width " + twips(panel->sizeHint().width());
        panel->setText(text);
        return width;
    }
    auto* main = qobject_cast<QMainWindow*>(widget);
    if (!widget->isWindow() || qobject_cast<QMenu*>(widget)) return {};
    return " at " + twips(widget->x()) + ',' + twips(widget->y()) +
           (main ? " client " + twips(main->width()) + 'x' +
                       twips(main->height() - main->menuBar()->height())
                 : "") +
           (widget->minimumSize() == widget->maximumSize() ? " fixed" : "") +
           (widget->windowIcon().isNull() ? "" : " icon");
}

// Name, class, text, tip, what a screen reader hears, flags, font, twips; a text's further
// lines follow it.
QStringList Describe(QObject* object) {
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
    if (menu && menu->menuAction()->associatedObjects().isEmpty()) line += " popup";
    if (auto* label = qobject_cast<QLabel*>(object); label && !label->pixmap().isNull())
        line += " picture";
    for (QString& more : text) more.prepend("| ");
    return QStringList{line} + text;
}

// Every named widget and action below the window, indented by depth; Qt's own parts unnamed.
void Walk(QObject* object, QStringList& lines, int depth = 0) {
    const QString name = object->objectName();
    const bool shown = depth == 0 || !(name.isEmpty() || name.startsWith("qt_"));
    if (shown)
        for (const QString& line : Describe(object)) lines << QString(2 * depth, ' ') + line;
    for (QObject* child : object->children())
        if (child->isWidgetType() || qobject_cast<QAction*>(child))
            Walk(child, lines, depth + shown);
}

}  // namespace

class tst_Windows : public QObject {
    Q_OBJECT
public:
    explicit tst_Windows(TestEnvironment&) {}

private slots:
    // The main window in each state the command table names, as the real commands leave it
    // against the simulator and at each one's last wait; About and the code view as they show.
    void windows() {
        SimProcess sim({"--baud", "0"});
        QVERIFY(sim.Start());
        ShowAsKestrel(*qApp);
        settings.Write(SettingKey::kHexPath, SettingKey::kPath, kData + "/table.hex");
        prompts.files = {kData + "/table.hex"};
        auto link = std::make_unique<clsHexComm>(std::make_unique<QSerialPortAdapter>(), prompts,
                                                 linkWaits);
        link->SetFastReplies(true);
        frmMain window(
            settings, prompts, waits, std::move(link), folder.path(),
            {ImportHexFile, ClearImportedCode, ViewHexCode, ConnectToPIC, ProgramPIC, RunPIC});
        window.show();
        qApp->installEventFilter(this);
        QString state;
        trace.onEvent = [&](const QString& event) {
            if (event.startsWith("delay")) Snapshot(window, state + ", at its wait");
        };
        lines << "desktop entry " + QGuiApplication::desktopFileName();
        Snapshot(window, "start");
        for (const auto& [item, during, after] :
             {std::tuple{"mnuAboutBootloader", "", "About closed"},
              {"mnuImportHexFile", "importing", "imported"},
              {"mnuConnectToPIC", "connecting", "connected"},
              {"mnuProgramPIC", "programming", "programmed"},
              {"mnuRunPIC", "running", "run"},
              {"mnuViewHexCode", "viewing", "viewed"}}) {
            state = during;
            window.findChild<QAction*>(item)->trigger();
            Snapshot(window, after);
        }
        Golden golden("windows.txt");
        golden.Mask(QStringLiteral(KESTREL_VERSION), "version");
        golden.Mask(kData, "data");
        const QString diff = golden.Diff(lines);
        if (!diff.isEmpty()) QFAIL(qPrintable(diff));
    }

protected:
    // A dialog is seen as it shows, then closed.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && event->type() == QEvent::Show)
            QTimer::singleShot(0, dialog, [this, dialog] {
                lines << "== " + QString(dialog->metaObject()->className());
                Walk(dialog, lines);
                dialog->close();
            });
        return false;
    }

private:
    // The window's lines that changed since the last snapshot, and the prompts shown meanwhile.
    void Snapshot(QWidget& window, const QString& state) {
        QStringList now;
        Walk(&window, now);
        lines << "== " + state;
        for (qsizetype i = 0; i < now.size(); ++i)
            if (i >= last.size() || now[i] != last[i]) lines << now[i];
        for (const QString& event : std::exchange(trace.events, {}))
            if (!event.startsWith("delay")) lines << "prompt " + event;
        last = now;
    }

    Trace trace;
    ScriptedPrompts prompts{trace};
    ScriptedWaits waits{trace};
    EventLoopWaits linkWaits;  // the link's waits for replies: the simulator answers in time
    Settings settings{QStringLiteral("Kestrel")};
    QTemporaryDir folder;
    QStringList lines, last;
};

KESTREL_TEST_MAIN(tst_Windows)
#include "tst_windows.moc"
