#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "testmain.h"

namespace {
constexpr int kPatienceMs = 30000;

// Runs a program to its end from the folder given; its standard output, or "status N" and
// its standard error when it fails.
QString Run(const QString& program, const QStringList& arguments, const QString& folder,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(kPatienceMs)) return QStringLiteral("did not end");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("status %1 %2")
            .arg(process.exitCode())
            .arg(process.readAllStandardError());
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}
}  // namespace

class tst_Install : public QObject {
    Q_OBJECT
public:
    explicit tst_Install(TestEnvironment&) {}

private slots:
    // Installed into a prefix of its own and run from its bin/ by the user running the tests
    // (root where the tests run as root), Kestrel, kestrel-cli and kestrel-sim add nothing
    // there: the window's import goes to the data folder.
    void nothingBesideTheExecutables() {
        QTemporaryDir prefix;
        const QString install =
            Run(KESTREL_CMAKE, {"--install", KESTREL_BUILD_DIR, "--prefix", prefix.path()},
                prefix.path());
        QVERIFY2(install.contains("Installing"), qPrintable(install));
        const QString bin = prefix.filePath("bin");
        const auto all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
        const QStringList installed = QDir(bin).entryList(all);
        QCOMPARE(installed, QStringList({"Kestrel", "kestrel-cli", "kestrel-sim"}));

        QProcessEnvironment driven = QProcessEnvironment::systemEnvironment();
        driven.insert("LD_PRELOAD", KESTREL_DRIVER);
        driven.insert("KESTREL_DRIVE_IMPORT", KESTREL_EXAMPLE);
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QCOMPARE(Run(bin + "/Kestrel", {}, bin, driven),
                 "converted code in " + data + "/Kestrel\n");

        QVERIFY(Run(bin + "/kestrel-cli", {"check", KESTREL_EXAMPLE}, bin).contains("flash"));
        QProcess sim;
        sim.setWorkingDirectory(bin);
        sim.start(bin + "/kestrel-sim",
                  {"--link", prefix.filePath("port"), "--dump", prefix.filePath("dump.hex")});
        QVERIFY(sim.waitForReadyRead(kPatienceMs));
        sim.terminate();
        QVERIFY(sim.waitForFinished(kPatienceMs) && sim.exitCode() == 0);
        QCOMPARE(QDir(bin).entryList(all), installed);
    }
};

KESTREL_TEST_MAIN(tst_Install)
#include "tst_install.moc"
