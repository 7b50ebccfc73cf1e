#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "framecodec.h"
#include "golden.h"
#include "portpath.h"
#include "simprocess.h"
#include "testmain.h"

namespace {
// Requests in order: the version, written words read back as 14 bits and erased; refused
// ones (no reply); each fault on one frame only. A payload to be framed ("+N": and N bytes 0x22),
// or "=" and the bytes as they go; "FAULT@:" before it plants the fault on its frame.
const QStringList kRequests =
    QString(
        "0002ff 0004ff 02010001001122334455667788 0108000100 0110002000 030100010000 0108000100 "
        "0502002100aabb 0404002100 02018000001122334455667788 02010020001122334455667788 "
        "02010201001122334455667788 0200000100 0309000100000000000000000000 0301c0000000 "
        "0500002100 054b002100+75 0209000100+72 070207200004ff 0900000000 01080001 0002 =0f0400 "
        "=0f0002ff04fe 0000ff silent@99,:0002ff bad-checksum@:0002ff wrong-command@:0002ff "
        "no-end@:0002ff cut@:0108000100 short-data@:0108000100 "
        "corrupt@:02010001001122334455667788 0108000100 unplug@:0002ff")
        .split(' ');
}  // namespace

class tst_Sim : public QObject {
    Q_OBJECT
public:
    explicit tst_Sim(TestEnvironment&) {}

private slots:
    // Each request as sent, the simulator's line for it and its reply; then the simulator's
    // end, the port's entry and the memory it dumps.
    void frames() {
        QTemporaryDir folder;
        QStringList options{"--baud", "0", "--version", "2.5", "--dump", folder.filePath("dump")};
        for (int i = 0; i < kRequests.size(); ++i)
            if (kRequests[i].contains(':'))
                options << "--fault" << kRequests[i].section(':', 0, 0) + QString::number(i + 1);
        SimProcess sim(options);
        QVERIFY(sim.Start());
        const int port = ::open(qPrintable(PortPath::LinkPath(1)), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(port >= 0);
        QStringList seen;
        for (int frame = 1; const QString& request : kRequests) {
            const QString payload = request.section(':', -1);
            const QByteArray bytes =
                payload.startsWith('=')
                    ? QByteArray::fromHex(payload.mid(1).toLatin1())
                    : Frame::Build(QByteArray::fromHex(payload.section('+', 0, 0).toLatin1()) +
                                   QByteArray(payload.section('+', 1).toInt(), 0x22));
            QCOMPARE(::write(port, bytes.constData(), size_t(bytes.size())), bytes.size());
            QVERIFY(sim.WaitForLine(QString("#%1 ").arg(frame++)));
            char reply[256];
            pollfd wait{port, POLLIN, 0};
            // A reply goes out in one piece, right after its line.
            const bool due = !sim.Lines().last().contains(
                QRegularExpression("(no reply|ignored|reset|fault silent\\])$"));
            const ssize_t got = due && ::poll(&wait, 1, 5000) == 1 ? ::read(port, reply, 256) : 0;
            seen << "> " + bytes.toHex(' ') << sim.Lines().last()
                 << "< " + QByteArray(reply, std::max<ssize_t>(got, 0)).toHex(' ');
        }
        QVERIFY(sim.WaitForExit());
        ::close(port);
        QFile dump(folder.filePath("dump"));
        QVERIFY(dump.open(QIODevice::ReadOnly));
        seen << sim.Lines().last()
             << "port linked: " + QString::number(QFileInfo(PortPath::LinkPath(1)).isSymLink())
             << "dump:" << QString(dump.readAll()).split('\n');
        if (const QString diff = Golden("kestrel-sim-frames.txt").Diff(seen); !diff.isEmpty())
            QFAIL(qPrintable(diff));
    }
};

KESTREL_TEST_MAIN(tst_Sim)
#include "tst_sim.moc"
