#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "testmain.h"

namespace {
// Runs a program from the folder; its output, or its status and error output when it fails.
QString Run(const QString& program, const QStringList& arguments, const QString& folder,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(30000) && process.exitCode() == 0;
    return ended ? process.readAllStandardOutput()
                 : QString("status %1: ").arg(process.exitCode()) + process.readAllStandardError();
}
}  // namespace

class tst_Install : public QObject {
    Q_OBJECT
public:
    explicit tst_Install(TestEnvironment&) {}

private slots:
    // Installed into a prefix of its own and run from its bin/ by whoever runs the tests (root,
    // often), Kestrel imports into the data folder; kestrel-cli and kestrel-sim add nothing.
    void nothingBesideTheExecutables() {
        QTemporaryDir prefix;
        const QString bin = prefix.filePath("bin");
        const QString output =
            Run(KESTREL_CMAKE, {"--install", KESTREL_BUILD_DIR, "--prefix", prefix.path()},
                prefix.path());
        QVERIFY2(output.contains("Installing"), qPrintable(output));
        const auto all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(bin).entryList(all), QStringList({"Kestrel", "kestrel-cli", "kestrel-sim"}));
        QProcessEnvironment driven = QProcessEnvironment::systemEnvironment();
        driven.insert("LD_PRELOAD", KESTREL_DRIVER);
        driven.insert("KESTREL_DRIVE_IMPORT", KESTREL_EXAMPLE);
        QCOMPARE(Run(bin + "/Kestrel", {}, bin, driven),
                 "in " + QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     "/Kestrel\n");
        QVERIFY(Run(bin + "/kestrel-cli", {"check", KESTREL_EXAMPLE}, bin).contains("flash"));
        QProcess sim;
        sim.setWorkingDirectory(bin);
        sim.start(bin + "/kestrel-sim",
                  {"--link", prefix.filePath("port"), "--dump", prefix.filePath("dump")});
        QVERIFY(sim.waitForReadyRead(30000));
        sim.terminate();
        QVERIFY(sim.waitForFinished(30000) && sim.exitCode() == 0);
        QCOMPARE(QDir(bin).entryList(all), QStringList({"Kestrel", "kestrel-cli", "kestrel-sim"}));
    }
};

KESTREL_TEST_MAIN(tst_Install)
#include "tst_install.moc"
