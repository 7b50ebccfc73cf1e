#pragma once

#include <QDialog>

class Settings;

// The modal code view window; its position persists in the settings store.
class frmViewCode : public QDialog {
    Q_OBJECT
public:
    frmViewCode(Settings& settings, const QString& text, QWidget* parent = nullptr);
};
