#pragma once

#include <QDialog>

// The About window: product name, credits and platform; nothing in it acts.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
};
