#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include "eventloopwaits.h"
#include "linereader.h"
#include "programfolder.h"
#include "settings.h"
#include "testmain.h"
#include "windowposition.h"

class tst_Core : public QObject {
    Q_OBJECT
public:
    explicit tst_Core(TestEnvironment& environment) : m_env(environment) {}

private slots:
    void init() { TestEnvironment::ClearSettings(); }

    void storedNumbers_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("read");  // with "7" as the default
        QTest::newRow("lowest") << "-32768" << -32768;
        QTest::newRow("highest") << " 32767 " << 32767;
        QTest::newRow("too large") << "32768" << 7;
        QTest::newRow("too small") << "-32769" << 7;
        QTest::newRow("text") << "x12" << 7;
        QTest::newRow("fraction") << "2.5" << 7;
    }
    void storedNumbers() {
        QFETCH(QString, stored);
        QFETCH(int, read);
        Settings settings(QStringLiteral("Kestrel"));
        settings.Write(SettingKey::kMainForm, SettingKey::kPort, stored);
        QCOMPARE(settings.ReadInt16(SettingKey::kMainForm, SettingKey::kPort, "7"), read);
        QCOMPARE(settings.Read(SettingKey::kMainForm, SettingKey::kPort, "-"), stored);
    }

    // Twips at the screen's dpi, clamped to what the 16-bit reading can take back.
    void windowPosition() {
        Settings settings(QStringLiteral("Kestrel"));
        QCOMPARE(WindowPosition::Read(settings, SettingKey::kViewForm, 144.0), QPoint(0, 0));
        WindowPosition::Store(settings, SettingKey::kViewForm, QPoint(3300, -3300), 144.0);
        QCOMPARE(settings.Read(SettingKey::kViewForm, SettingKey::kLeft, "-") + ',' +
                     settings.Read(SettingKey::kViewForm, SettingKey::kTop, "-"),
                 "32767,-32768");
        QCOMPARE(WindowPosition::Read(settings, SettingKey::kViewForm, 144.0), QPoint(3277, -3277));
    }

    void lineEndings_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<QByteArray>>("lines");
        const QByteArray full(64 * 1024 - 1, 'x');  // a line that ends on the first read's edge
        QTest::newRow("each ending")
            << QByteArray("a\r\nb\nc\r\rd") << QList<QByteArray>{"a", "b", "c", "", "d"};
        QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("CR LF split") << full + "\r\ny" << QList<QByteArray>{full, "y"};
        QTest::newRow("CR at edge") << full + "\rz\n" << QList<QByteArray>{full, "z"};
        QTest::newRow("long line") << full + full + "\n" << QList<QByteArray>{full + full};
    }
    void lineEndings() {
        QFETCH(QByteArray, content);
        QFETCH(QList<QByteArray>, lines);
        QFile file(m_env.Root() + "/lines.txt");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        LineReader reader(file.fileName());
        QVERIFY(reader.Open());
        QList<QByteArray> read;
        for (QByteArray line; reader.ReadLine(line);) read << line;
        QCOMPARE(read, lines);
        QVERIFY(reader.AtEnd() && !reader.HasError());
    }

    // Waits run the event loop until a monotonic deadline; Stop ends every running and later
    // wait at once, until Resume.
    void waits() {
        EventLoopWaits waits;
        QStringList seen;
        QTimer::singleShot(50, [&] { seen << "timer"; });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(waits.Delay(0.25F) && clock.elapsed() >= 250);
        // The link moves its deadline when the port goes, and wakes the wait to see it.
        QDeadlineTimer deadline(30000);
        QTimer::singleShot(20, [&] { deadline = QDeadlineTimer(0), waits.Wake(); });
        QVERIFY(waits.WaitUntil(deadline));
        QMetaObject::invokeMethod(
            this, [&] { seen << "posted"; }, Qt::QueuedConnection);
        QVERIFY(waits.Yield());
        QTimer::singleShot(10, [&] { seen << (waits.Delay(30.0F) ? "inner" : "inner stopped"); });
        QTimer::singleShot(50, [&] { waits.Stop(); });
        QVERIFY(!waits.Delay(30.0F));
        QVERIFY(!waits.Delay(0.0F) && !waits.Yield() && waits.Stopped());
        waits.Resume();
        QVERIFY(waits.Delay(0.0F) && waits.Yield() && !waits.Stopped());
        QCOMPARE(seen, QStringList({"timer", "posted", "inner stopped"}));
        QVERIFY(clock.elapsed() < 20000);
    }

    void programFolderIsTheWritableExecutableFolder() {
        QCOMPARE(ProgramFolder::Resolve(), QCoreApplication::applicationDirPath());
    }

private:
    TestEnvironment& m_env;
};

KESTREL_TEST_MAIN(tst_Core)
#include "tst_core.moc"
