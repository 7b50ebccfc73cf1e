#pragma once

#include <QMap>

#include "commandhost.h"
#include "trace.h"

// A main window without widgets. Traces "Status=text", "range 0-N", "progress 0" (only the
// resets: per-line progress shows in peak), "enable 0110001", "busy"/"idle" and "code view".
class FakeHost : public CommandHost {
public:
    explicit FakeHost(Trace& trace) : m_trace(trace) {}

    MainState& State() override { return state; }
    void SetPanelText(const QString& key, const QString& text) override {
        panels[key] = text;
        m_trace.Add(key + QLatin1Char('=') + text);
    }
    QString PanelText(const QString& key) const override { return panels.value(key); }
    void SetProgressRange(int minimum, int maximum) override {
        m_trace.Add(QStringLiteral("range %1-%2").arg(minimum).arg(maximum));
        peak = 0;
    }
    void SetProgressValue(int value) override {
        progress = value;
        peak = std::max(peak, value);
        if (value == 0) m_trace.Add(QStringLiteral("progress 0"));
    }
    int ProgressValue() const override { return progress; }
    void EnableCommands(bool blnImport, bool blnClear, bool blnView, bool blnConnect,
                        bool blnProgram, bool blnRun, bool blnExit) override {
        QString groups = QStringLiteral("enable ");
        for (const bool on :
             {blnImport, blnClear, blnView, blnConnect, blnProgram, blnRun, blnExit})
            groups += on ? QLatin1Char('1') : QLatin1Char('0');
        m_trace.Add(groups);
    }
    void SetBusyPointer(bool busy) override {
        m_trace.Add(busy ? QStringLiteral("busy") : QStringLiteral("idle"));
    }
    bool IsTicked(Tick tick) const override { return ticks.value(tick); }
    void ShowCodeView(const QString& text) override {
        shownText = text;
        m_trace.Add(QStringLiteral("code view"));
    }

    MainState state;
    QMap<QString, QString> panels;
    int progress = 0;
    int peak = 0;  // highest progress since the last range
    QMap<Tick, bool> ticks{{Tick::ViewFlash, true}, {Tick::ProgFlash, true}};
    QString shownText;

private:
    Trace& m_trace;
};
