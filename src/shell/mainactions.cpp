#include "mainactions.h"

#include <QActionGroup>
#include <QIcon>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

namespace {

struct ButtonSpec {
    const char* key;
    const char* toolTip;
    const char* icon;  // in icons/icons.qrc
};

// Toolbar order; a click is routed by key.
const ButtonSpec kButtons[] = {
    {"ImportHexFile", "Import Hex File", "import"},
    {"ClearImportedCode", "Clear Imported Code", "clear"},
    {"ViewHexCode", "Veiw Imported Code", "view"},
    {"ConnectToPIC", "Connect to PIC", "connect"},
    {"ProgramPIC", "Program PIC", "program"},
    {"RunPIC", "Run PIC", "run"},
    {"ExitProg", "Exit bootloader program", "exit"},
};

// Menu items of each command group, in the order they are switched.
const QStringList kGroups[] = {
    {"mnuImportHexFile"},
    {"mnuClearImportedCode"},
    {"mnuViewHexCode", "mnuViewFlash", "mnuViewEEPROM", "mnuViewUserID", "mnuViewConfig"},
    {"mnuConnectToPIC"},
    {"mnuProgramPIC", "mnuProgFlash", "mnuProgEEPROM"},
    {"mnuRunPIC"},
    {"mnuExitProg"},
};

}  // namespace

MainActions::MainActions(QMainWindow* window) : QObject(window) {
    // The icons are compiled into this static library; naming them here links them in.
    Q_INIT_RESOURCE(icons);
    CreateMenus(window);
    CreateToolbar(window);
}

QAction* MainActions::AddItem(QMenu* menu, const QString& name, const QString& caption,
                              bool checkable) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setCheckable(checkable);
    m_items.insert(name, action);
    return action;
}

void MainActions::CreateMenus(QMainWindow* window) {
    QMenuBar* bar = window->menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    AddItem(file, QStringLiteral("mnuImportHexFile"), QStringLiteral("&Import Hex"), false);
    AddItem(file, QStringLiteral("mnuClearImportedCode"), QStringLiteral("&Clear File"), false);
    file->addSeparator()->setObjectName(QStringLiteral("Divider1"));
    AddItem(file, QStringLiteral("mnuExitProg"), QStringLiteral("E&xit Program"), false);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    AddItem(view, QStringLiteral("mnuViewHexCode"), QStringLiteral("&Hex Code"), false);
    view->addSeparator()->setObjectName(QStringLiteral("Divider2"));
    AddItem(view, QStringLiteral("mnuViewFlash"), QStringLiteral("Flash"), true);
    AddItem(view, QStringLiteral("mnuViewEEPROM"), QStringLiteral("EEPROM"), true);
    AddItem(view, QStringLiteral("mnuViewUserID"), QStringLiteral("User ID"), true);
    AddItem(view, QStringLiteral("mnuViewConfig"), QStringLiteral("Config"), true);

    QMenu* device = bar->addMenu(QStringLiteral("&Device"));
    device->setObjectName(QStringLiteral("mnuDevice"));
    AddItem(device, QStringLiteral("mnuConnectToPIC"), QStringLiteral("&Connect"), false);
    AddItem(device, QStringLiteral("mnuProgramPIC"), QStringLiteral("&Program PIC"), false);
    device->addSeparator()->setObjectName(QStringLiteral("Divider3"));
    AddItem(device, QStringLiteral("mnuProgFlash"), QStringLiteral("Flash"), true);
    AddItem(device, QStringLiteral("mnuProgEEPROM"), QStringLiteral("EEPROM"), true);
    device->addSeparator()->setObjectName(QStringLiteral("Divider4"));
    AddItem(device, QStringLiteral("mnuRunPIC"), QStringLiteral("&Run PIC"), false);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    AddItem(help, QStringLiteral("mnuAboutBootloader"), QStringLiteral("About Bootloader"), false);

    // Not in the menu bar: it pops up from the status bar's port panel.
    m_ports = new QMenu(QStringLiteral("Ports"), window);
    m_ports->setObjectName(QStringLiteral("mnuPorts"));
    auto* exclusive = new QActionGroup(m_ports);
    for (int n = 1; n <= 4; ++n) {
        QAction* com = AddItem(m_ports, QStringLiteral("mnuCom%1").arg(n),
                               QStringLiteral("Com %1").arg(n), true);
        exclusive->addAction(com);
    }
    exclusive->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
}

void MainActions::CreateToolbar(QMainWindow* window) {
    QToolBar* toolbar = window->addToolBar(QStringLiteral("tlbMain"));
    toolbar->setObjectName(QStringLiteral("tlbMain"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    window->setContextMenuPolicy(Qt::NoContextMenu);
    for (const ButtonSpec& spec : kButtons) {
        const QString key = QString::fromLatin1(spec.key);
        const QIcon icon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(spec.icon)));
        QAction* button = toolbar->addAction(icon, QString::fromLatin1(spec.toolTip));
        button->setObjectName(key);
        button->setToolTip(QString::fromLatin1(spec.toolTip));
        connect(button, &QAction::triggered, this, [this, key] { emit ButtonClick(key); });
        m_buttons.append(button);
    }
}

QAction* MainActions::TickItem(Tick tick) const {
    switch (tick) {
        case Tick::ViewFlash:
            return Item(QStringLiteral("mnuViewFlash"));
        case Tick::ViewEEPROM:
            return Item(QStringLiteral("mnuViewEEPROM"));
        case Tick::ViewUserID:
            return Item(QStringLiteral("mnuViewUserID"));
        case Tick::ViewConfig:
            return Item(QStringLiteral("mnuViewConfig"));
        case Tick::ProgFlash:
            return Item(QStringLiteral("mnuProgFlash"));
        case Tick::ProgEEPROM:
            return Item(QStringLiteral("mnuProgEEPROM"));
    }
    return nullptr;
}

void MainActions::SetGroupEnabled(int group, bool enabled) {
    for (const QString& name : kGroups[group]) m_items.value(name)->setEnabled(enabled);
    m_buttons.at(group)->setEnabled(enabled);
}
