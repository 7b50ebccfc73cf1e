#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "commandcontext.h"
#include "commandhost.h"

class MainActions;
class clsHexComm;
class Prompts;
class QProgressBar;
class Settings;
class StatusPanels;
class Waits;

// The main window: owns the link, shows progress and results, and routes every menu, toolbar
// and status panel click to its command.
class frmMain : public QMainWindow, public CommandHost {
    Q_OBJECT
public:
    // The window owns the link from here on and releases it at unload.
    frmMain(Settings& settings, Prompts& prompts, Waits& waits, std::unique_ptr<clsHexComm> link,
            const QString& programFolder, const CommandSet& commands, QWidget* parent = nullptr);
    ~frmMain() override;

    MainState& State() override { return m_state; }
    void SetPanelText(const QString& key, const QString& text) override;
    QString PanelText(const QString& key) const override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressValue(int value) override;
    int ProgressValue() const override;
    void EnableCommands(bool blnImport, bool blnClear, bool blnView, bool blnConnect,
                        bool blnProgram, bool blnRun, bool blnExit) override;
    void SetBusyPointer(bool busy) override;
    bool IsTicked(Tick tick) const override;
    void ShowCodeView(const QString& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateWidgets();
    void ConnectActions();
    void Form_Load();
    void Form_Unload();
    void FixSize();
    double Dpi() const;

    CommandContext Context();
    void RunCommand(Command command);
    void mnuImportHexFile_Click();
    void mnuClearImportedCode_Click();
    void mnuExitProg_Click();
    void mnuViewHexCode_Click();
    void mnuConnectToPIC_Click();
    void mnuProgramPIC_Click();
    void mnuRunPIC_Click();
    void mnuAboutBootloader_Click();
    void EndStoppedCommand();
    void mnuCom_Click(qint16 N);
    void ChangePort(qint16 N);
    void tlbMain_ButtonClick(const QString& key);
    void staBootloader_PanelClick(const QString& key);
    void SetPortTicks();

    Settings& m_settings;
    Prompts& m_prompts;
    Waits& m_waits;
    const QString m_programFolder;
    const CommandSet m_commands;
    MainState m_state;
    std::unique_ptr<clsHexComm> m_objHexComm;
    MainActions* m_actions = nullptr;
    QProgressBar* prgStatus = nullptr;
    StatusPanels* m_panels = nullptr;
    QPointer<QWidget> m_view;
    int m_runningCommands = 0;
    bool m_closePending = false;
    qint16 m_pendingPort = 0;  // chosen while a command ran; 0: none
    bool m_unloading = false;
};
