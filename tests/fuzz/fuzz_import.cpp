// A whole HEX file through the import command, with a scripted window and prompts, and through
// kestrel-cli's reading by address, its checks and its model of the window's import.
#include <QCoreApplication>
#include <QFile>

#include "commandrig.h"
#include "imagecheck.h"
#include "importcommand.h"
#include "intelhex.h"
#include "testenvironment.h"
#include "windowimport.h"

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
    const IntelHex::Reading reading = IntelHex::Read(path);
    CheckImage(reading, true, true);
    WindowImport::Compare(reading.records);
    return 0;
}
