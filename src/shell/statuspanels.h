#pragma once

#include <QLabel>
#include <QMap>
#include <QObject>

class QStatusBar;

// The three keyed panels of the status bar. Each is a label, so screen readers read its text;
// the port panel, which opens the Ports menu, is a button to them.
class StatusPanels : public QObject {
    Q_OBJECT
public:
    StatusPanels(QStatusBar* bar, double logicalDpi);

    void SetText(const QString& key, const QString& text);
    QString Text(const QString& key) const;

signals:
    void PanelClick(const QString& key);

private:
    QMap<QString, QLabel*> m_panels;
};
