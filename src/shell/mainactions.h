#pragma once

#include <QAction>
#include <QMap>
#include <QObject>

#include "commandhost.h"

class QMainWindow;
class QMenu;
class QToolBar;

// The main window's menus, the hidden Ports menu and the toolbar, with the seven command
// groups that are switched on and off together.
class MainActions : public QObject {
    Q_OBJECT
public:
    explicit MainActions(QMainWindow* window);

    // Menu items by their menu names (mnuImportHexFile, mnuCom1, ...).
    QAction* Item(const QString& name) const { return m_items.value(name); }
    QAction* TickItem(Tick tick) const;
    QMenu* PortsMenu() const { return m_ports; }

    // Group index 0..6: import, clear, view, connect, program, run, exit.
    void SetGroupEnabled(int group, bool enabled);

signals:
    void ButtonClick(const QString& key);

private:
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption, bool checkable);
    void CreateMenus(QMainWindow* window);
    void CreateToolbar(QMainWindow* window);

    QMap<QString, QAction*> m_items;
    QList<QAction*> m_buttons;
    QMenu* m_ports = nullptr;
};
