// Arbitrary reply bytes for every bootloader command, through the link and a fake port whose
// waits end at once. The first byte picks the command (by name, in order); the rest is the reply.
#include <QCoreApplication>

#include "clshexcomm.h"
#include "fakeserialport.h"
#include "linkcalls.h"
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
    QByteArray out;
    kLinkCalls.values().at(data[0] % kLinkCalls.size())(link, out);
    return 0;
}
