#pragma once

#include <QFile>
#include <QRegularExpression>

#include "intelhex.h"
#include "transcript.h"

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

// Paths as @D, @T and /dev/pts/N.
inline QString Plain(QString text) {
    return text.replace(kData, "@D")
        .replace(g_root, "@T")
        .replace(QRegularExpression("/dev/pts/\\d+"), "/dev/pts/N");
}

// kestrel-cli (or the command given) to its end, as a terminal shows it.
inline QString Run(const QString& arguments, const QString& cli = kCli) {
    return Plain(Terminal(cli + ' ' + Args(arguments).join(' ')).join('\n') + '\n');
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
