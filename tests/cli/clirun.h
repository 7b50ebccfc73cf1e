#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include "intelhex.h"

// kestrel-cli run as a user runs it, and the files the tests give it.
namespace CliRun {

inline const QString kCli = QStringLiteral(KESTREL_CLI);
inline const QString kData = qEnvironmentVariable("KESTREL_TEST_DATA");
inline QString g_root;  // the test's HOME

// Words with @D (the test data) and @T (the test's HOME) filled in.
inline QStringList Args(const QString& text) {
    return text.split(' ', Qt::SkipEmptyParts)
        .replaceInStrings("@D", kData)
        .replaceInStrings("@T", g_root);
}

inline QByteArray FileText(const QString& name) {
    QFile file(g_root + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Paths as @D, @T and /dev/pts/N; times as 0. The address sanitizer's warning about switched
// stacks (several boards) is the build's, not the program's.
inline QString Plain(QString text) {
    return text.remove(QRegularExpression("E ==\\d+==WARNING: ASan doesn't fully support [^\n]*\n"))
        .replace(kData, "@D")
        .replace(g_root, "@T")
        .replace(QRegularExpression("/dev/pts/\\d+"), "/dev/pts/N")
        .replace(QRegularExpression(R"("seconds":[^,}]+)"), R"("seconds":0)");
}

// kestrel-cli (or the command given) to its end: standard output, standard error marked "E ".
inline QString Run(const QString& arguments, const QStringList& cli = {kCli}) {
    QProcess process;
    process.start(cli[0], cli.mid(1) + Args(arguments));
    process.waitForFinished(60000);
    QString err = "E " + QString(process.readAllStandardError()).replace('\n', "\nE ");
    err.chop(2);
    return Plain(process.readAllStandardOutput() + err +
                 QString("exit %1\n").arg(process.exitStatus() ? -1 : process.exitCode()));
}

// Records "AAAA:BYTES", byte address and data in hexadecimal, as a HEX file in the test's HOME
// between an extended address record and the end record. "@N" is N bytes of a pattern that
// differs from record to record and file to file, in 14-bit words, EEPROM's high bytes 00.
inline QString WriteHex(const QString& name, const QString& records) {
    QByteArray text = IntelHex::RecordText(4, 0, QByteArray(2, '\0'));
    int seed = int(name.size());
    for (const QString& record : records.split(' ', Qt::SkipEmptyParts)) {
        const int address = record.section(':', 0, 0).toInt(nullptr, 16);
        const QString bytes = record.section(':', 1);
        QByteArray data =
            bytes.startsWith('@') ? QByteArray() : QByteArray::fromHex(bytes.toLatin1());
        seed += 13;
        for (int a = address; a < address + bytes.mid(1).toInt() && bytes.startsWith('@'); ++a)
            data += char(a % 2 == 0 ? a * 7 + seed : a < 0x4200 ? (a * 7 + seed) & 0x3F : 0);
        text += IntelHex::RecordText(0, quint16(address), data);
    }
    QFile file(g_root + name);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text + IntelHex::RecordText(1, 0, {}));
    return g_root + name;
}

}  // namespace CliRun
