#pragma once

#include <QString>
#include <QTemporaryDir>

// A private HOME for one test process: settings, port links and the program folder all live
// below it, so no test sees the machine's or another test's files.
class TestEnvironment {
public:
    TestEnvironment();

    QString Root() const { return m_dir.path(); }
    QString ProgramFolder() const { return m_dir.path() + QStringLiteral("/program"); }
    QString PortLinkFolder() const;  // where comN links go
    // Forgets every stored setting.
    static void ClearSettings();

private:
    QTemporaryDir m_dir;
};
