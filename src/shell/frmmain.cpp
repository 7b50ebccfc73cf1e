#include "frmmain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <utility>

#include "clshexcomm.h"
#include "frmabout.h"
#include "frmviewcode.h"
#include "mainactions.h"
#include "prompts.h"
#include "settings.h"
#include "statuspanels.h"
#include "twips.h"
#include "waits.h"
#include "windowplacement.h"

namespace {

constexpr int kClientWidthTwips = 4575;
constexpr int kClientHeightTwips = 1350;

}  // namespace

frmMain::frmMain(Settings& settings, Prompts& prompts, Waits& waits,
                 std::unique_ptr<clsHexComm> link, const QString& programFolder,
                 const CommandSet& commands, QWidget* parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_prompts(prompts),
      m_waits(waits),
      m_programFolder(programFolder),
      m_commands(commands),
      m_objHexComm(std::move(link)) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    CreateWidgets();
    ConnectActions();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::CreateWidgets() {
    m_actions = new MainActions(this);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    prgStatus = new QProgressBar(central);
    prgStatus->setObjectName(QStringLiteral("prgStatus"));
    prgStatus->setAccessibleName(QStringLiteral("Progress"));
    prgStatus->setTextVisible(false);
    prgStatus->setRange(0, 100);
    prgStatus->setValue(0);
    layout->addWidget(prgStatus);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("staBootloader"));
    m_panels = new StatusPanels(statusBar(), Dpi());
    FixSize();
}

void frmMain::ConnectActions() {
    const auto route = [this](const char* name, void (frmMain::*handler)()) {
        connect(m_actions->Item(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    route("mnuImportHexFile", &frmMain::mnuImportHexFile_Click);
    route("mnuClearImportedCode", &frmMain::mnuClearImportedCode_Click);
    route("mnuExitProg", &frmMain::mnuExitProg_Click);
    route("mnuViewHexCode", &frmMain::mnuViewHexCode_Click);
    route("mnuConnectToPIC", &frmMain::mnuConnectToPIC_Click);
    route("mnuProgramPIC", &frmMain::mnuProgramPIC_Click);
    route("mnuRunPIC", &frmMain::mnuRunPIC_Click);
    route("mnuAboutBootloader", &frmMain::mnuAboutBootloader_Click);
    for (qint16 n = 1; n <= 4; ++n) {
        connect(m_actions->Item(QStringLiteral("mnuCom%1").arg(n)), &QAction::triggered, this,
                [this, n] { mnuCom_Click(n); });
    }
    connect(m_actions, &MainActions::ButtonClick, this, &frmMain::tlbMain_ButtonClick);
    connect(m_panels, &StatusPanels::PanelClick, this, &frmMain::staBootloader_PanelClick);
}

double frmMain::Dpi() const {
    const QScreen* current = screen();
    return current ? current->logicalDotsPerInch() : 96.0;
}

// The area below the menu bar keeps its design size; the frame comes from the window manager.
void frmMain::FixSize() {
    const double dpi = Dpi();
    setFixedSize(Twips::ToPixels(kClientWidthTwips, dpi),
                 menuBar()->sizeHint().height() + Twips::ToPixels(kClientHeightTwips, dpi));
}

void frmMain::Form_Load() {
    setWindowTitle(kProgramTitle + QStringLiteral(" [v") + QStringLiteral(KESTREL_VERSION) +
                   QLatin1Char(']'));
    WindowPlacement::Restore(*this, m_settings, SettingKey::kMainForm);
    m_state.intPortNumber =
        m_settings.ReadInt16(SettingKey::kMainForm, SettingKey::kPort, SettingKey::kDefaultPort);
    m_state.strHexFilePath = m_settings.Read(SettingKey::kHexPath, SettingKey::kPath, QString());
    SetPanelText(PanelKey::kPort, QStringLiteral("Com %1").arg(m_state.intPortNumber));
    SetPortTicks();
    m_actions->Item(QStringLiteral("mnuViewFlash"))->setChecked(true);
    m_actions->Item(QStringLiteral("mnuProgFlash"))->setChecked(true);
    m_state.objHexComm = m_objHexComm.get();
    EnableCommands(true, false, false, false, false, false, true);
}

void frmMain::SetPortTicks() {
    for (int n = 1; n <= 4; ++n)
        m_actions->Item(QStringLiteral("mnuCom%1").arg(n))->setChecked(n == m_state.intPortNumber);
}

// A command that is still running when the window closes is stopped at its next wait; the
// unload runs once it has returned, so nothing it uses is released under it.
void frmMain::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (m_unloading) return;
    if (m_runningCommands > 0) {
        m_closePending = true;
        m_waits.Stop();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload() {
    m_unloading = true;
    m_waits.Resume();
    WindowPlacement::Save(*this, m_settings, SettingKey::kMainForm);
    CommandContext context = Context();
    m_commands.clear(context);
    if (m_view) m_view->close();
    m_state.objHexComm = nullptr;
    m_objHexComm.reset();
}

CommandContext frmMain::Context() {
    return {*this, m_prompts, m_settings, m_waits, m_programFolder};
}

void frmMain::RunCommand(Command command) {
    if (m_unloading || m_closePending || m_pendingPort != 0) return;
    ++m_runningCommands;
    CommandContext context = Context();
    command(context);
    if (--m_runningCommands > 0) return;
    if (m_closePending) {
        m_closePending = false;
        QTimer::singleShot(0, this, &QWidget::close);
    } else if (m_pendingPort != 0) {
        EndStoppedCommand();
        ChangePort(std::exchange(m_pendingPort, qint16(0)));
    }
}

// A stopped command ends without its last steps: what it left on show goes with it.
void frmMain::EndStoppedCommand() {
    m_waits.Resume();
    SetBusyPointer(false);
    SetProgressValue(0);
    SetPanelText(PanelKey::kStatus, QString());
}

void frmMain::mnuImportHexFile_Click() {
    RunCommand(m_commands.import);
}
void frmMain::mnuClearImportedCode_Click() {
    RunCommand(m_commands.clear);
}
void frmMain::mnuExitProg_Click() {
    close();
}
void frmMain::mnuViewHexCode_Click() {
    RunCommand(m_commands.view);
}
void frmMain::mnuConnectToPIC_Click() {
    RunCommand(m_commands.connect);
}
void frmMain::mnuProgramPIC_Click() {
    RunCommand(m_commands.program);
}
void frmMain::mnuRunPIC_Click() {
    RunCommand(m_commands.run);
}

void frmMain::mnuAboutBootloader_Click() {
    frmAbout about(this);
    about.exec();
}

// Another port while a command runs ends that command at its next wait, as closing does; the
// port changes once it has returned, so nothing it uses is closed under it.
void frmMain::mnuCom_Click(qint16 N) {
    if (m_state.intPortNumber == N || m_unloading) {
        SetPortTicks();
        return;
    }
    if (m_runningCommands > 0) {
        m_pendingPort = N;
        m_waits.Stop();
        return;
    }
    ChangePort(N);
}

void frmMain::ChangePort(qint16 N) {
    m_state.intPortNumber = N;
    m_objHexComm->CloseComPort();
    EnableCommands(true, false, false, false, false, false, true);
    m_settings.Write(SettingKey::kMainForm, SettingKey::kPort, QString::number(N));
    SetPanelText(PanelKey::kPort, QStringLiteral("Com %1").arg(N));
    SetPortTicks();
}

void frmMain::tlbMain_ButtonClick(const QString& key) {
    static const QList<QPair<QString, void (frmMain::*)()>> kRoutes = {
        {QStringLiteral("ImportHexFile"), &frmMain::mnuImportHexFile_Click},
        {QStringLiteral("ClearImportedCode"), &frmMain::mnuClearImportedCode_Click},
        {QStringLiteral("ViewHexCode"), &frmMain::mnuViewHexCode_Click},
        {QStringLiteral("ConnectToPIC"), &frmMain::mnuConnectToPIC_Click},
        {QStringLiteral("ProgramPIC"), &frmMain::mnuProgramPIC_Click},
        {QStringLiteral("RunPIC"), &frmMain::mnuRunPIC_Click},
        {QStringLiteral("ExitProg"), &frmMain::mnuExitProg_Click},
    };
    for (const auto& [routeKey, handler] : kRoutes) {
        if (routeKey.compare(key, Qt::CaseSensitive) == 0) {
            (this->*handler)();
            return;
        }
    }
}

void frmMain::staBootloader_PanelClick(const QString& key) {
    if (key == PanelKey::kPort) m_actions->PortsMenu()->popup(QCursor::pos());
}

void frmMain::SetPanelText(const QString& key, const QString& text) {
    m_panels->SetText(key, text);
}

QString frmMain::PanelText(const QString& key) const {
    return m_panels->Text(key);
}

void frmMain::SetProgressRange(int minimum, int maximum) {
    // An empty range would turn the bar into a busy indicator; show it empty instead.
    prgStatus->setRange(minimum, std::max(maximum, minimum + 1));
}

void frmMain::SetProgressValue(int value) {
    prgStatus->setValue(value);
}

int frmMain::ProgressValue() const {
    // A bar whose range changed under its value reads below its minimum until set again.
    return std::max(prgStatus->value(), prgStatus->minimum());
}

void frmMain::EnableCommands(bool blnImport, bool blnClear, bool blnView, bool blnConnect,
                             bool blnProgram, bool blnRun, bool blnExit) {
    const bool groups[] = {blnImport, blnClear, blnView, blnConnect, blnProgram, blnRun, blnExit};
    for (int group = 0; group < 7; ++group) m_actions->SetGroupEnabled(group, groups[group]);
}

void frmMain::SetBusyPointer(bool busy) {
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

bool frmMain::IsTicked(Tick tick) const {
    return m_actions->TickItem(tick)->isChecked();
}

void frmMain::ShowCodeView(const QString& text) {
    frmViewCode view(m_settings, text, this);
    m_view = &view;
    view.exec();
}
