// Arbitrary reply bytes for every bootloader command, through the link and a fake port whose
// waits end at once. The first byte picks the command; the rest is the reply.
#include <QCoreApplication>

#include "clshexcomm.h"
#include "fakeserialport.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_reply";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    if (size == 0) return 0;
    const QByteArray reply(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    Trace trace;
    ScriptedPrompts prompts(trace);
    ScriptedWaits waits(trace);
    auto* port = new FakeSerialPort;
    port->responder = [&reply](const QByteArray&) { return reply; };
    clsHexComm link(std::unique_ptr<SerialPort>(port), prompts, waits);
    link.SetTimeOutRetries(1);
    link.OpenComPort(1);
    const ByteAddr at{0x00, 0x01, 0x00};
    QByteArray out;
    const QByteArray block(64, '\x05');
    switch (data[0] % 9) {
        case 0:
            link.blnReadBootVersion(2, out);
            break;
        case 1:
            link.blnReadProgram(16, at, out);
            break;
        case 2:
            link.blnReadEEPROM(16, at, out);
            break;
        case 3:
            link.blnReadConfig(2, at, out);
            break;
        case 4:
            link.blnWriteProgram(8, at, block);
            break;
        case 5:
            link.blnWriteEEPROM(16, at, block);
            break;
        case 6:
            link.blnWriteConfig(2, at, block);
            break;
        case 7:
            link.blnEraseProgram(1, at);
            break;
        default:
            link.blnResetPIC();
            break;
    }
    return 0;
}
