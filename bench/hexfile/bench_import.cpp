// Imports a valid 32,767-line HEX file through the real command and prints how long the
// counting pass and the record loop take (the final one-second wait is not counted), and how
// much the peak memory grows; run once with 16-byte and once with 255-byte records.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

#include "commandrig.h"
#include "importcommand.h"
#include "intelhex.h"
#include "testenvironment.h"

namespace {
constexpr int kLines = 32767;
constexpr int kFlashBytes = 0x4000;  // the records cycle through program flash

// A linear address record, kLines - 2 flash data records of recordBytes each, the end record.
QString WriteHexFile(const QString& folder, int recordBytes) {
    const QString path = folder + QStringLiteral("/bench-%1.hex").arg(recordBytes);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write(":020000040000FA\n");
    for (int i = 0; i < kLines - 2; ++i) {
        QByteArray bytes;
        for (int b = 0; b < recordBytes; ++b) bytes += char(b * 7 + i);
        file.write(IntelHex::RecordText(0, quint16((i * recordBytes) % kFlashBytes), bytes));
    }
    file.write(":00000001FF\n");
    return path;
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool Run(const QString& folder, int recordBytes) {
    const QString path = WriteHexFile(folder, recordBytes);
    CommandRig rig;
    rig.context.programFolder = folder;
    rig.prompts.files = {path};
    QElapsedTimer clock;
    qint64 loopStart = 0;
    qint64 loopEnd = 0;
    rig.trace.onEvent = [&](const QString& event) {
        if (event == QStringLiteral("Status=Importing Hex File..."))
            loopStart = clock.nsecsElapsed();
        if (event == QStringLiteral("Status=Success...")) loopEnd = clock.nsecsElapsed();
    };
    const long peakBefore = PeakKiB();
    clock.start();
    ImportHexFile(rig.context);
    if (loopEnd == 0) return false;
    std::printf(
        "%3d-byte records, %.1f MiB file: counting pass %.0f ms, record loop %.0f ms, "
        "peak memory +%ld KiB\n",
        recordBytes, QFile(path).size() / 1048576.0, loopStart / 1e6, (loopEnd - loopStart) / 1e6,
        PeakKiB() - peakBefore);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kestrel"));
    std::printf("Import of a %d-line HEX file (target: record loop under 500 ms)\n", kLines);
    for (const int recordBytes : {16, 255}) {
        if (!Run(environment.ProgramFolder(), recordBytes)) {
            std::printf("import of %d-byte records failed\n", recordBytes);
            return 1;
        }
    }
    return 0;
}
