// The full PIC16F877A image (7936 words from 0x100, 256 EEPROM bytes) programmed against
// kestrel-sim at its realistic timing, four ways: (a) the window's road through the commands,
// (b) kestrel-cli program --paced (the window's waits), (c) kestrel-cli program, whose waits end
// with the reply, (d) program --verify. Each wall time stands beside the protocol's floor for the
// same work: the line time of every request and reply byte at 9600 baud plus the simulator's write
// times.
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "commandcode.h"
#include "framecodec.h"
#include "fullimage.h"
#include "roads.h"
#include "simprocess.h"
#include "testenvironment.h"

namespace {

using DeviceMap::kEepromBytes;
using DeviceMap::kFirstAppWord;
using DeviceMap::kFlashWords;
using DeviceMap::kRowWords;
using FullImage::EepromValue;
using FullImage::WordValue;
constexpr int kChunk = 64;  // kestrel-cli's read size
constexpr Seconds kFlashRowWrite{0.016};
constexpr Seconds kEepromByteWrite{0.004};

QByteArray Addressed(CommandCode code, int count, int word) {
    QByteArray payload;
    payload.append(char(code)).append(char(count));
    return payload.append(char(word)).append(char(word >> 8)).append(char(word >> 16));
}

QByteArray FlashBytes(int word, int words) {
    QByteArray bytes;
    for (int i = 0; i < words; ++i)
        bytes.append(char(WordValue(word + i) & 0xFF)).append(char(WordValue(word + i) >> 8));
    return bytes;
}

QByteArray EepromBytes(int offset, int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) bytes.append(char(EepromValue(offset + i)));
    return bytes;
}

Seconds Exchange(const QByteArray& request, const QByteArray& reply) {
    return Seconds(Frame::LineTime(Frame::Build(request).size()) +
                   Frame::LineTime(Frame::Build(reply).size()));
}

// Connect, the 248 flash rows and the 16 EEPROM lines, with their write times.
Seconds WriteFloor() {
    Seconds floor = Exchange(QByteArray::fromHex("0002ff"), QByteArray::fromHex("00020001"));
    for (int word = kFirstAppWord; word < kFlashWords; word += kRowWords) {
        const QByteArray request =
            Addressed(CommandCode::WriteProgram, 8, word) + FlashBytes(word, kRowWords);
        floor += Exchange(request, QByteArray(1, char(CommandCode::WriteProgram))) + kFlashRowWrite;
    }
    for (int offset = 0; offset < kEepromBytes; offset += 16) {
        const QByteArray request =
            Addressed(CommandCode::WriteEEPROM, 16, DeviceMap::kEepromWord + offset) +
            EepromBytes(offset, 16);
        floor += Exchange(request, QByteArray(1, char(CommandCode::WriteEEPROM))) +
                 16 * kEepromByteWrite;
    }
    return floor;
}

// kestrel-cli's read-back: 64-byte requests over the same flash rows and EEPROM.
Seconds ReadFloor() {
    Seconds floor{0};
    for (int word = kFirstAppWord; word < kFlashWords; word += kChunk / 2) {
        const QByteArray request = Addressed(CommandCode::ReadProgram, kChunk, word);
        floor += Exchange(request, request + FlashBytes(word, kChunk / 2));
    }
    for (int offset = 0; offset < kEepromBytes; offset += kChunk) {
        const QByteArray request =
            Addressed(CommandCode::ReadEEPROM, kChunk, DeviceMap::kEepromWord + offset);
        floor += Exchange(request, request + EepromBytes(offset, kChunk));
    }
    return floor;
}

int Run(const QString& root) {
    SimProcess sim({});
    if (!sim.Start()) {
        std::printf("kestrel-sim did not start\n");
        return 1;
    }
    const QString hexPath = root + QStringLiteral("/full.hex");
    QFile hex(hexPath);
    if (!hex.open(QIODevice::WriteOnly) || hex.write(FullImage::HexText()) < 0) return 1;
    hex.close();
    const double write = WriteFloor().count();
    const double read = ReadFloor().count();
    Seconds delays{0};
    const Measured window = WindowRoad(hexPath, root, delays);
    const double road = window.wall - delays.count();
    std::printf("%-26s %8s %8s %7s %7s  %-30s\n", "run", "wall s", "floor s", "ratio", "cpu",
                "target");
    bool met = Row("(a) window road", window, write, window.wall, "(reference)");
    std::printf("    of which timed delays %8.2f  (kestrel-cli skips them)\n", delays.count());
    met = Row("(b) program --paced",
              Cli({QStringLiteral("program"), QStringLiteral("--paced"), hexPath}), write,
              road * 1.02, "<= 1.02 x (a) less its delays") &&
          met;
    met = Row("(c) kestrel-cli program", Cli({QStringLiteral("program"), hexPath}), write,
              write * 1.10, "<= 1.10 x floor") &&
          met;
    met = Row("(d) program --verify",
              Cli({QStringLiteral("program"), QStringLiteral("--verify"), hexPath}), write + read,
              (write + read) * 1.10, "<= 1.10 x (write + read floor)") &&
          met;
    return met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    TestEnvironment environment;  // the simulator's port link goes below a private HOME
    if (qEnvironmentVariableIsEmpty("KESTREL_SIM")) qputenv("KESTREL_SIM", KESTREL_SIM_PATH);
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kestrel"));
    return Run(environment.ProgramFolder());
}
