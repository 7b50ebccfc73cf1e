#include "optiontable.h"

#include <QStringList>

namespace OptionTable {

namespace {
constexpr Command kCommands[] = {
    {"ports", kPorts, "", "list Com 1-4 and the serial ports present",
     "Lists Com 1-4 with the device each resolves to and whether it can be opened, then every "
     "serial port the system reports."},
    {"check", kCheck, "FILE.hex", "show the file's memory map and where the window would differ",
     "Prints the file's memory map, what program would refuse or warn about, and the records "
     "that the window's own import would put elsewhere. Status 2 when program would refuse it."},
    {"info", kInfo, "", "show the bootloader version",
     "Connects and prints the bootloader's version."},
    {"program", kProgram, "FILE.hex", "write flash rows and EEPROM bytes (then --verify, --run)",
     "Writes the file's flash rows (whole 32-word rows from 0x100) and EEPROM bytes, stopping at "
     "the first request that fails; then --verify reads them back and --run resets the device."},
    {"verify", kVerify, "FILE.hex", "compare the device with the file",
     "Compares the device with the file: every word of the rows program writes and every EEPROM "
     "byte of the file. Status 3 when they differ."},
    {"read", kRead, "", "read memory into Intel HEX, FILE.bin or - (standard output)",
     "Reads memory and writes it as Intel HEX, as raw bytes when the file ends in .bin, or to "
     "standard output for -."},
    {"run", kRun, "", "reset the device into its application",
     "Opens the port and resets the device into its application."},
};

constexpr Option kOptions[] = {
    {"p", "port", "N|PATH|all",
     "Com number, device path, or all (every port whose bootloader answers); given again, the "
     "boards run in parallel. Default: $KESTREL_PORT, else the window's port.",
     kDevice},
    {"", "wait", "SECONDS",
     "Keep asking for the bootloader's version until it answers (a board entered by a reset).",
     kDevice},
    {"", "retries", "N",
     "Attempts per request; a damaged reply is retried like a missing one "
     "(default 3).",
     kDevice},
    {"", "paced", "", "Wait each request's full interval, as the window does.", kDevice},
    {"", "fast", "", "End each wait as soon as the reply is in (the default).", kDevice},
    {"", "log", "FILE", "Write every frame to FILE as JSON lines.", kDevice},
    {"", "flash", "", "Program or verify flash (with --eeprom: both).",
     kCheck | kProgram | kVerify},
    {"", "eeprom", "", "Program or verify EEPROM.", kCheck | kProgram | kVerify},
    {"", "strict", "", "Warnings about the file are errors.", kCheck | kProgram | kVerify},
    {"", "erase", "", "Blank 0x100-0x1FFF first.", kProgram},
    {"", "keep", "", "Keep the words of a row the file does not set.", kProgram | kVerify},
    {"", "verify", "", "Read back and compare.", kProgram},
    {"", "run", "", "Reset the device at the end.", kProgram},
    {"", "resume", "",
     "Go on from the first row not acknowledged in the last run of this file on this port.",
     kProgram},
    {"", "erased", "", "Every other row must be blank.", kVerify},
    {"o", "out", "FILE", "The file written: .hex, .bin or - (standard output).", kRead},
    {"", "range", "A-B", "Word addresses A-B, hexadecimal.", kRead},
    {"", "region", "NAME", "flash, eeprom or config.", kRead},
    {"", "all", "", "Flash from word 0, not 0x100.", kRead},
    {"j", "json", "", "Print one JSON object at the end instead of the usual lines.", kEvery},
    {"q", "quiet", "", "No progress output.", kEvery},
    {"v", "verbose", "", "Show each frame's meaning as it goes, and each failed attempt.", kEvery},
    {"h", "help", "", "Show this help.", kEvery},
};

constexpr int kNameColumn = 26;
constexpr int kWidth = 79;

// The text in lines that fit the width from the column on, each after the first indented to it.
QString Wrapped(const QString& text, int column = kNameColumn) {
    QStringList lines = {QString()};
    for (const QString& word : text.split(QLatin1Char(' '))) {
        if (!lines.last().isEmpty() && lines.last().size() + 1 + word.size() > kWidth - column)
            lines.append(QString());
        lines.last() += (lines.last().isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return lines.join(QLatin1Char('\n') + QString(column, QLatin1Char(' ')));
}

QString Usage(const Command& command) {
    QString usage = QStringLiteral("Usage: kestrel-cli %1 [options]").arg(command.name);
    return *command.operand ? usage + QLatin1Char(' ') + command.operand : usage;
}

QString OptionLine(const Option& option) {
    QString names =
        *option.shortName ? QStringLiteral("-%1, ").arg(option.shortName) : QStringLiteral("    ");
    names += QStringLiteral("--") + option.longName;
    if (*option.value) names += QLatin1Char(' ') + QLatin1String(option.value);
    return QStringLiteral("  ") + names.leftJustified(kNameColumn - 2) +
           Wrapped(QLatin1String(option.text));
}
}  // namespace

std::span<const Command> Commands() {
    return kCommands;
}

std::span<const Option> Options() {
    return kOptions;
}

const Command* FindCommand(const QString& name) {
    for (const Command& command : kCommands)
        if (name == QLatin1String(command.name)) return &command;
    return nullptr;
}

QString Help() {
    QStringList lines = {
        QStringLiteral("Usage: kestrel-cli [options] COMMAND [FILE.hex]"), QString(),
        Wrapped(QStringLiteral("Programs, verifies and reads a PIC16F877A through its "
                               "bootloader, by the addresses of an Intel HEX file."),
                0),
        QString(), QStringLiteral("Commands:")};
    for (const Command& command : kCommands) {
        const QString name = QString::fromLatin1(command.name) + QLatin1Char(' ') + command.operand;
        lines.append(QStringLiteral("  ") + name.leftJustified(kNameColumn - 2) +
                     Wrapped(QLatin1String(command.summary)));
    }
    lines << QString() << QStringLiteral("Options of every command:");
    for (const Option& option : kOptions)
        if (option.commands == kEvery) lines.append(OptionLine(option));
    lines.append(QStringLiteral("      --version").leftJustified(kNameColumn) +
                 QStringLiteral("Show the version."));
    lines << QString() << QStringLiteral("kestrel-cli help COMMAND shows a command's own options.");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString Help(const Command& command) {
    QStringList lines = {Usage(command), QString(), Wrapped(QLatin1String(command.text), 0),
                         QString(), QStringLiteral("Options:")};
    for (const Option& option : kOptions)
        if (option.commands & command.bit) lines.append(OptionLine(option));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace OptionTable
