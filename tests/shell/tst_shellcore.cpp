#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include "delay.h"
#include "linereader.h"
#include "portmap.h"
#include "settings.h"
#include "testmain.h"

class tst_ShellCore : public QObject {
    Q_OBJECT
public:
    explicit tst_ShellCore(TestEnvironment& environment) : m_env(environment) {}

private slots:
    void settingsFallBackOnGarbage_data();
    void settingsFallBackOnGarbage();
    void portMapPrefersLinks();
    void lineReaderEndings_data();
    void lineReaderEndings();
    void lineReaderCrLfAcrossChunks();
    void delayLastsAndStops();

private:
    TestEnvironment& m_env;
};

void tst_ShellCore::settingsFallBackOnGarbage_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("number") << "120" << 120;
    QTest::newRow("negative") << "-300" << -300;
    QTest::newRow("lowest") << "-32768" << -32768;
    QTest::newRow("highest") << "32767" << 32767;
    QTest::newRow("too large") << "32768" << 7;
    QTest::newRow("too small") << "-32769" << 7;
    QTest::newRow("text") << "abc" << 7;
    QTest::newRow("fraction") << "1.5" << 7;
    QTest::newRow("empty") << "" << 7;
}

void tst_ShellCore::settingsFallBackOnGarbage() {
    QFETCH(QString, stored);
    QFETCH(int, expected);
    Settings settings(QStringLiteral("Kestrel"));
    settings.Write(SettingKey::kMainForm, SettingKey::kTop, stored);
    QCOMPARE(settings.ReadInt16(SettingKey::kMainForm, SettingKey::kTop, QStringLiteral("7")),
             expected);
    // A fallback is never written back.
    QCOMPARE(settings.Read(SettingKey::kMainForm, SettingKey::kTop, QString()), stored);
}

void tst_ShellCore::portMapPrefersLinks() {
    QCOMPARE(PortMap::DeviceName(3), QStringLiteral("/dev/ttyS2"));
    const QString link = m_env.PortLinkFolder() + QStringLiteral("/com3");
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
    QCOMPARE(PortMap::DeviceName(3), link);
    QCOMPARE(PortMap::DeviceName(4), QStringLiteral("/dev/ttyS3"));
    QFile::remove(link);
}

void tst_ShellCore::lineReaderEndings_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<QByteArray>>("lines");
    const QList<QByteArray> abc = {"a", "b", "c"};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\nc\r\n") << abc;
    QTest::newRow("LF") << QByteArray("a\nb\nc\n") << abc;
    QTest::newRow("CR") << QByteArray("a\rb\rc\r") << abc;
    QTest::newRow("no last ending") << QByteArray("a\nb\r\nc") << abc;
    QTest::newRow("blank lines") << QByteArray("a\n\r\n\rc") << QList<QByteArray>{"a", "", "", "c"};
    QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{};
    QTest::newRow("zero bytes kept") << QByteArray("a\0b\n", 4) << QList<QByteArray>{{"a\0b", 3}};
}

void tst_ShellCore::lineReaderEndings() {
    QFETCH(QByteArray, content);
    QFETCH(QList<QByteArray>, lines);
    const QString path = m_env.Root() + QStringLiteral("/lines.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    LineReader reader(path);
    QVERIFY(reader.Open());
    QList<QByteArray> read;
    QByteArray line;
    while (reader.ReadLine(line)) read.append(line);
    QCOMPARE(read, lines);
    QVERIFY(reader.AtEnd());
    QVERIFY(!reader.HasError());
}

void tst_ShellCore::lineReaderCrLfAcrossChunks() {
    // The reader fills 64 KiB at a time: put a CR LF and a long line across the boundaries.
    const QString path = m_env.Root() + QStringLiteral("/long.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray first(65535, 'x');
    const QByteArray second(200000, 'y');
    file.write(first + "\r\n" + second + "\r\nz");
    file.close();
    LineReader reader(path);
    QVERIFY(reader.Open());
    QByteArray line;
    QVERIFY(reader.ReadLine(line));
    QCOMPARE(line, first);
    QVERIFY(reader.ReadLine(line));
    QCOMPARE(line, second);
    QVERIFY(reader.ReadLine(line));
    QCOMPARE(line, QByteArray("z"));
    QVERIFY(!reader.ReadLine(line));
}

void tst_ShellCore::delayLastsAndStops() {
    bool ranDuringWait = false;
    QTimer::singleShot(100, [&] { ranDuringWait = true; });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(modGeneral::Delay(1.0F));
    QVERIFY(clock.elapsed() >= 1000);
    QVERIFY(ranDuringWait);

    // Stopping ends the waits in progress and every later one at once.
    QTimer::singleShot(50, [] { modGeneral::StopWaiting(); });
    clock.restart();
    QVERIFY(!modGeneral::Delay(30.0F));
    QVERIFY(!modGeneral::Delay(30.0F));
    QVERIFY(clock.elapsed() < 20000);
    modGeneral::ResumeWaiting();
    QVERIFY(modGeneral::Delay(0.01F));
}

KESTREL_TEST_MAIN(tst_ShellCore)
#include "tst_shellcore.moc"
