// A whole HEX file through the import command, with a scripted window and prompts.
#include <QCoreApplication>
#include <QFile>

#include "commandrig.h"
#include "importcommand.h"
#include "testenvironment.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TestEnvironment environment;
    static int argc = 1;
    static char name[] = "fuzz_import";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    const QString path = environment.Root() + QStringLiteral("/in.hex");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    // One rig for every run: its settings and folder would otherwise cost most of the time.
    static CommandRig rig;
    rig.trace.events.clear();
    rig.prompts.files = {path};
    ImportHexFile(rig.context);
    return 0;
}
