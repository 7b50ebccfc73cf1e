#include <QElapsedTimer>
#include <QTimer>

#include "eventloopwaits.h"
#include "linereader.h"
#include "settings.h"
#include "testmain.h"

class tst_Core : public QObject {
    Q_OBJECT
public:
    explicit tst_Core(TestEnvironment&) {}

private slots:
    void init() { TestEnvironment::ClearSettings(); }

    // A stored number outside 16 bits, or not whole, reads as the default.
    void storedNumbers() {
        Settings settings(QStringLiteral("Kestrel"));
        QStringList read;
        for (const char* stored : {"-32768", " 32767 ", "32768", "-32769", "x12"}) {
            settings.Write("s", "n", stored);
            read << QString::number(settings.ReadInt16("s", "n", "7"));
        }
        QCOMPARE(read.join(' '), "-32768 32767 7 7 7");
    }

    // Every ending, also across the edge of a read: F is a line as long as the first read
    // less one byte.
    void lineEndings() {
        const QByteArray full(64 * 1024 - 1, 'x');
        QTemporaryDir folder;
        QFile file(folder.filePath("lines.txt"));
        QStringList seen;
        for (const QByteArray& content : {QByteArray("a\r\nb\nc\r\rd"), QByteArray(),
                                          full + "\r\ny", full + "\rz\n", full + full + "\n"}) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
            file.close();
            LineReader reader(file.fileName());
            QVERIFY(reader.Open());
            QStringList lines;
            for (QByteArray line; reader.ReadLine(line);)
                lines << QString(line).replace(QString(full), "F");
            seen << lines.join(',') + (reader.AtEnd() && !reader.HasError() ? "" : " error");
        }
        QCOMPARE(seen, QStringList({"a,b,c,,d", "", "F,y", "F,z", "FF"}));
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
        QVERIFY(!waits.Delay(30.0F) && !waits.Delay(0.0F) && !waits.Yield() && waits.Stopped());
        waits.Resume();
        QVERIFY(waits.Delay(0.0F) && waits.Yield() && !waits.Stopped() && clock.elapsed() < 20000);
        QCOMPARE(seen, QStringList({"timer", "posted", "inner stopped"}));
    }
};

KESTREL_TEST_MAIN(tst_Core)
#include "tst_core.moc"
