#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "testmain.h"

namespace {
// Runs a program from the folder; its output, or its status and error output when it fails.
QString Run(const QString& program, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
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
    // often), Kestrel keeps its files (its lock first) in the data folder; kestrel-cli and
    // kestrel-sim add nothing.
    void nothingBesideTheExecutables() {
        QTemporaryDir prefix;
        const QString bin = prefix.filePath("bin");
        const QString output =
            Run(KESTREL_CMAKE, {"--install", KESTREL_BUILD_DIR, "--prefix", prefix.path()},
                prefix.path());
        QVERIFY2(output.contains("Installing"), qPrintable(output));
        const auto all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
        const QStringList programs{"Kestrel", "kestrel-cli", "kestrel-sim"};
        QCOMPARE(QDir(bin).entryList(all), programs);
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QProcess kestrel, sim;
        kestrel.setWorkingDirectory(bin);
        kestrel.start(bin + "/Kestrel");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(data + "/Kestrel/Kestrel.lock"), 30000);
        kestrel.kill();  // leaving its lock where it is
        QVERIFY(kestrel.waitForFinished());
        QVERIFY(Run(bin + "/kestrel-cli", {"check", KESTREL_EXAMPLE}, bin).contains("flash"));
        sim.setWorkingDirectory(bin);
        sim.start(bin + "/kestrel-sim",
                  {"--link", prefix.filePath("port"), "--dump", prefix.filePath("dump")});
        QVERIFY(sim.waitForReadyRead(30000));
        sim.terminate();
        QVERIFY(sim.waitForFinished(30000) && sim.exitCode() == 0);
        QCOMPARE(QDir(bin).entryList(all), programs);
    }
};

KESTREL_TEST_MAIN(tst_Install)
#include "tst_install.moc"
