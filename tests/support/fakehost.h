#pragma once

#include <QList>
#include <QMap>
#include <QStringList>
#include <array>

#include "commandhost.h"

// A main window without widgets: keeps and logs what the commands do to it.
class FakeHost : public CommandHost {
public:
    using Groups = std::array<bool, 7>;  // import, clear, view, connect, program, run, exit

    FakeHost();

    MainState& State() override { return state; }
    void SetPanelText(const QString& key, const QString& text) override;
    QString PanelText(const QString& key) const override { return panels.value(key); }
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressValue(int value) override;
    int ProgressValue() const override { return progressValue; }
    void EnableCommands(bool blnImport, bool blnClear, bool blnView, bool blnConnect,
                        bool blnProgram, bool blnRun, bool blnExit) override;
    void SetBusyPointer(bool busy) override;
    bool IsTicked(Tick tick) const override { return ticks.value(tick); }
    void ShowCodeView(const QString& text) override { shownViews.append(text); }

    MainState state;
    QMap<QString, QString> panels;
    QStringList panelLog;  // "Key=text", in order
    int progressMinimum = 0;
    int progressMaximum = 100;
    int progressValue = 0;
    int progressPeak = 0;  // highest value set since the last range change
    Groups enabled{true, false, false, false, false, false, true};
    QList<Groups> enableCalls;
    bool busy = false;
    QList<bool> busyLog;
    QMap<Tick, bool> ticks;
    QStringList shownViews;
};
