#include "clioptions.h"

#include <QCommandLineParser>

namespace {
const QString kDescription = QStringLiteral(
    "Programs, verifies and reads a PIC16F bootloader device.\n\n"
    "Commands:\n"
    "  ports              list Com 1-4 and the serial ports present\n"
    "  check FILE.hex     import the file and show its memory map\n"
    "  info               show the bootloader version\n"
    "  program FILE.hex   write flash and EEPROM (then --verify, --run)\n"
    "  verify FILE.hex    compare the device with the file\n"
    "  read --out FILE    read flash, EEPROM and configuration into Intel HEX\n"
    "  run                reset the device into its application");
const QString kNoCommand = QStringLiteral("no command given (try --help)");
const QString kUnknownCommand = QStringLiteral("unknown command %1");
const QString kFileNeeded = QStringLiteral("%1 needs a HEX file");
const QString kNoFile = QStringLiteral("%1 takes no file");
const QString kOutNeeded = QStringLiteral("read needs --out FILE.hex");
const QStringList kWithFile = {QStringLiteral("check"), QStringLiteral("program"),
                               QStringLiteral("verify")};
const QStringList kWithoutFile = {QStringLiteral("ports"), QStringLiteral("info"),
                                  QStringLiteral("read"), QStringLiteral("run")};

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(kDescription);
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."));
    parser.addOptions({
        {QStringLiteral("port"), QStringLiteral("Com number or device path."),
         QStringLiteral("N|PATH")},
        {QStringLiteral("out"), QStringLiteral("check: folder of the converted code; read: file."),
         QStringLiteral("PATH")},
        {QStringLiteral("flash"), QStringLiteral("Program or verify flash (with --eeprom: both).")},
        {QStringLiteral("eeprom"), QStringLiteral("Program or verify EEPROM.")},
        {QStringLiteral("verify"), QStringLiteral("program: read back and compare.")},
        {QStringLiteral("run"), QStringLiteral("program: reset the device at the end.")},
        {QStringLiteral("all"), QStringLiteral("read: flash from word 0, not 0x100.")},
        {QStringLiteral("fast"), QStringLiteral("End each wait as soon as the reply is in.")},
        {QStringLiteral("json"), QStringLiteral("Print one JSON object at the end.")},
        {QStringLiteral("quiet"), QStringLiteral("No progress output.")},
        {QStringLiteral("log"), QStringLiteral("Write every frame to FILE as JSON lines."),
         QStringLiteral("FILE")},
    });
}

QString ReadPositional(const QStringList& positional, CliOptions& options) {
    if (positional.isEmpty()) return kNoCommand;
    options.command = positional.first();
    if (kWithFile.contains(options.command)) {
        if (positional.size() != 2) return kFileNeeded.arg(options.command);
        options.file = positional.at(1);
        return {};
    }
    if (!kWithoutFile.contains(options.command)) return kUnknownCommand.arg(options.command);
    if (positional.size() != 1) return kNoFile.arg(options.command);
    return {};
}

void ReadFlags(const QCommandLineParser& parser, CliOptions& options) {
    const auto set = [&parser](const char* name) { return parser.isSet(QLatin1String(name)); };
    // Neither region named means both.
    if (set("flash") || set("eeprom")) {
        options.flash = set("flash");
        options.eeprom = set("eeprom");
    }
    options.verify = set("verify");
    options.run = set("run");
    options.all = set("all");
    options.fast = set("fast");
    options.json = set("json");
    options.quiet = set("quiet");
    options.port = parser.value(QStringLiteral("port"));
    options.out = parser.value(QStringLiteral("out"));
    options.logPath = parser.value(QStringLiteral("log"));
}
}  // namespace

std::optional<CliOptions> ParseCliOptions(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    CliOptions options;
    error = ReadPositional(parser.positionalArguments(), options);
    ReadFlags(parser, options);
    if (error.isEmpty() && options.command == QLatin1String("read") && options.out.isEmpty())
        error = kOutNeeded;
    return error.isEmpty() ? std::optional(options) : std::nullopt;
}
