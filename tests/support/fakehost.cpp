#include "fakehost.h"

FakeHost::FakeHost() {
    ticks = {{Tick::ViewFlash, true},   {Tick::ViewEEPROM, false}, {Tick::ViewUserID, false},
             {Tick::ViewConfig, false}, {Tick::ProgFlash, true},   {Tick::ProgEEPROM, false}};
}

void FakeHost::SetPanelText(const QString& key, const QString& text) {
    panels[key] = text;
    panelLog.append(key + QLatin1Char('=') + text);
}

void FakeHost::SetProgressRange(int minimum, int maximum) {
    progressMinimum = minimum;
    progressMaximum = maximum;
    progressPeak = 0;
}

void FakeHost::SetProgressValue(int value) {
    progressValue = value;
    progressPeak = std::max(progressPeak, value);
}

void FakeHost::EnableCommands(bool blnImport, bool blnClear, bool blnView, bool blnConnect,
                              bool blnProgram, bool blnRun, bool blnExit) {
    enabled = {blnImport, blnClear, blnView, blnConnect, blnProgram, blnRun, blnExit};
    enableCalls.append(enabled);
}

void FakeHost::SetBusyPointer(bool isBusy) {
    busy = isBusy;
    busyLog.append(isBusy);
}
