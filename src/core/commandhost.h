#pragma once

#include <QString>

#include "mainstate.h"

namespace PanelKey {
inline const QString kStatus = QStringLiteral("Status");
inline const QString kBootCodeVersion = QStringLiteral("BootCodeVersion");
inline const QString kPort = QStringLiteral("Port");
}  // namespace PanelKey

// The region check items of the View and Device menus.
enum class Tick { ViewFlash, ViewEEPROM, ViewUserID, ViewConfig, ProgFlash, ProgEEPROM };

// What a command needs of the main window; the window implements it, tests fake it.
class CommandHost {
public:
    virtual ~CommandHost() = default;

    virtual MainState& State() = 0;

    virtual void SetPanelText(const QString& key, const QString& text) = 0;
    virtual QString PanelText(const QString& key) const = 0;

    virtual void SetProgressRange(int minimum, int maximum) = 0;
    virtual void SetProgressValue(int value) = 0;
    virtual int ProgressValue() const = 0;

    virtual void EnableCommands(bool blnImport, bool blnClear, bool blnView, bool blnConnect,
                                bool blnProgram, bool blnRun, bool blnExit) = 0;
    virtual void SetBusyPointer(bool busy) = 0;
    virtual bool IsTicked(Tick tick) const = 0;

    // Shows the code view window modally with the given text; returns when the user closes it.
    virtual void ShowCodeView(const QString& text) = 0;
};
