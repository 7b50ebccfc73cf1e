#pragma once

#include <QDialog>

class QPlainTextEdit;
class Settings;

// The modal code view window: shows a view text read-only in a fixed-width font. It takes its
// position from the settings store when created and stores it again when destroyed.
class frmViewCode : public QDialog {
    Q_OBJECT
public:
    frmViewCode(Settings& settings, const QString& text, QWidget* parent = nullptr);
    ~frmViewCode() override;

private:
    void SizeForFullLine();
    void Form_Load();
    void Form_Unload();

    Settings& m_settings;
    QPlainTextEdit* rtbViewCode;
};
