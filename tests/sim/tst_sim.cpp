#include <fcntl.h>
#include <unistd.h>

#include <QFileInfo>
#include <QTest>

#include "portpath.h"
#include "simprocess.h"
#include "testmain.h"

namespace {
// What the simulator has sent so far, gathered in `reply`.
const QByteArray& Gather(int port, QByteArray& reply) {
    char buffer[256];
    reply.append(buffer, std::max<ssize_t>(::read(port, buffer, sizeof buffer), 0));
    return reply;
}
}  // namespace

class tst_Sim : public QObject {
    Q_OBJECT
public:
    explicit tst_Sim(TestEnvironment&) {}

private slots:
    // Writes land where reads find them, as 14-bit words; the bootloader's own area is refused
    // without a reply; a fault damages only the frame it names; the port's entry goes at exit.
    void session() {
        SimProcess sim({"--baud", "0", "--version", "2.5", "--fault", "cut@4"});
        QVERIFY(sim.Start());
        const int port = ::open(qPrintable(PortPath::LinkPath(1)), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(port >= 0);
        const QByteArray version = Hex("0f000205050204f7");
        const QByteArray read = Hex("0f010800010004f6");
        const struct {
            QByteArray request, reply;
            const char* line;
        } steps[] = {
            {Hex("0f0002ff04ff"), version, "#1 read-version 2 bytes: v2.5"},
            {Hex("0f020100010011223344556677880498"), Hex("0f0204fe"),
             "#2 write-flash 000100 8 bytes: ack"},
            {read, Hex("0f01080001001122330504552677080492"), "#3 read-flash 000100 8 bytes: data"},
            {read, Hex("0f01"), "#4 read-flash 000100 8 bytes: data [fault cut]"},
            {Hex("0f020180000011223344556677880419"),
             {},
             "#5 write-flash 000080 8 bytes: refused (bootloader area): no reply"},
            {Hex("0f0002ff04ff"), version, "#6 read-version 2 bytes: v2.5"},
        };
        for (const auto& step : steps) {
            QCOMPARE(::write(port, step.request.constData(), size_t(step.request.size())),
                     step.request.size());
            QVERIFY2(sim.WaitForLine(QString::fromLatin1(step.line)), step.line);
            QByteArray reply;
            QTRY_COMPARE(Gather(port, reply).toHex(), step.reply.toHex());
        }
        ::close(port);
        QVERIFY(sim.Stop());
        QVERIFY(!QFileInfo(PortPath::LinkPath(1)).isSymLink());
    }
};

KESTREL_TEST_MAIN(tst_Sim)
#include "tst_sim.moc"
