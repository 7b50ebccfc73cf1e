#pragma once

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "clshexcomm.h"
#include "fakeserialport.h"
#include "frmmain.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "settings.h"
#include "windowtext.h"

// The real main window over scripted prompts and waits and a link to an in-process port.
struct WindowRig {
    static constexpr const char* kCommands[] = {"import",  "clear",   "view",
                                                "connect", "program", "run"};
    inline static Trace* current = nullptr;

    // Each command shows its progress, traces its name and waits, and leaves its progress on
    // show: what a stopped command leaves, the window clears.
    template <int N>
    static void Ran(CommandContext& context) {
        context.host.SetPanelText(PanelKey::kStatus, QString::fromLatin1(kCommands[N]));
        context.host.SetBusyPointer(true);
        context.host.SetProgressValue(50);
        current->Add(QString::fromLatin1(kCommands[N]));
        if (!context.waits.Delay(1.0F)) current->Add(QStringLiteral("stopped"));
    }

    WindowRig() {
        current = &trace;
        trace.onEvent = [this](const QString&) {
            if (!during.isEmpty()) Do(std::exchange(during, QString()));
        };
    }
    // With the stand-in commands and a link to an in-process port unless given others.
    frmMain& Open(const CommandSet& commands = {Ran<0>, Ran<1>, Ran<2>, Ran<3>, Ran<4>, Ran<5>},
                  std::unique_ptr<clsHexComm> link = nullptr) {
        if (!link)
            link = std::make_unique<clsHexComm>(std::make_unique<FakeSerialPort>(), prompts, waits);
        window = std::make_unique<frmMain>(settings, prompts, waits, std::move(link), folder.path(),
                                           commands);
        QObject::connect(window->findChild<QMenu*>("mnuPorts"), &QMenu::aboutToShow,
                         [this] { trace.Add("ports"); });
        window->show();
        return *window;
    }

    // Key=value: a stored setting, before the window opens; connected: Com 1 open; enable=GROUPS;
    // move: far off; click:PANEL; key:KEY after Tab; reader: presses the port panel; a menu item
    // or toolbar key, +STEP to play as its command first waits; close and other window slots.
    void Do(const QString& step) {
        if (!window && step.contains('=') && step.at(0).isUpper())
            return settings.Write(SettingKey::kMainForm, step.section('=', 0, 0),
                                  step.section('=', 1));
        if (!window) Open();
        auto* panel = window->findChild<QLabel*>(step.startsWith("click:") ? step.mid(6) : "Port");
        if (step == "connected")
            window->State().objHexComm->OpenComPort(1);
        else if (step.startsWith("enable="))
            window->EnableCommands(step[7] == '1', step[8] == '1', step[9] == '1', step[10] == '1',
                                   step[11] == '1', step[12] == '1', step[13] == '1'),
                enabled = WindowText(window.get());
        else if (step == "move")
            window->move(3000, 3000);
        else if (step.startsWith("click:"))
            QTest::mouseClick(panel, Qt::LeftButton);
        else if (step.startsWith("key:") && QTest::qWaitForWindowActive(window.get()))
            panel->clearFocus(), QTest::keyClick(window.get(), Qt::Key_Tab),
                QTest::keyClick(QApplication::focusWidget(), QKeySequence(step.mid(4))[0].key());
        else if (step == "reader")
            QAccessible::queryAccessibleInterface(panel)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        else if (QAction* item = window->findChild<QAction*>(step.section('+', 0, 0)))
            during = step.section('+', 1), item->trigger();
        else
            QMetaObject::invokeMethod(window.get(), qPrintable(step));
    }

    // The window's lines that differ from a fresh one's (or from its own after enable=), then
    // what it does not show: the link, the region ticks as the commands read them (View Flash
    // EEPROM UserID Config, Prog Flash EEPROM), the stored Left, Top and Port, and the trace.
    QStringList Seen(const QStringList& fresh) const {
        const clsHexComm* link = window->State().objHexComm;
        QString rest = link && link->IsPortOpen() ? "-> open, ticks " : "-> ticks ";
        for (int tick = 0; tick < 6; ++tick) rest += window->IsTicked(Tick(tick)) ? '1' : '0';
        for (const QString& key : {SettingKey::kLeft, SettingKey::kTop, SettingKey::kPort})
            rest += ' ' + settings.Read(SettingKey::kMainForm, key, "-");
        return Changed(enabled.isEmpty() ? fresh : enabled, WindowText(window.get()))
               << rest + ": " + trace.events.join(", ");
    }

    Trace trace;
    ScriptedPrompts prompts{trace};
    ScriptedWaits waits{trace};
    Settings settings{QStringLiteral("Kestrel")};
    QTemporaryDir folder;
    QString during;       // the step to play as the next command waits
    QStringList enabled;  // the window's lines after enable=
    std::unique_ptr<frmMain> window;
};
