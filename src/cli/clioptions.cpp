#include "clioptions.h"

#include <QCommandLineParser>

namespace {
const QString kDescription = QStringLiteral(
    "Programs, verifies and reads a PIC16F877A through its bootloader, by the addresses of an "
    "Intel HEX file.\n\n"
    "Commands:\n"
    "  ports              list Com 1-4 and the serial ports present\n"
    "  check FILE.hex     show the file's memory map and where the window would differ\n"
    "  info               show the bootloader version\n"
    "  program FILE.hex   write flash rows and EEPROM bytes (then --verify, --run)\n"
    "  verify FILE.hex    compare the device with the file\n"
    "  read --out FILE    read memory into Intel HEX, FILE.bin or - (standard output)\n"
    "  run                reset the device into its application");
const QString kNoCommand = QStringLiteral("no command given (try --help)");
const QString kUnknownCommand = QStringLiteral("unknown command %1");
const QString kFileNeeded = QStringLiteral("%1 needs a HEX file");
const QString kNoFile = QStringLiteral("%1 takes no file");
const QString kOutNeeded = QStringLiteral("read needs --out FILE.hex, FILE.bin or -");
const QString kEraseOrKeep = QStringLiteral("--erase and --keep exclude each other: choose one");
const QString kJsonAndStdout =
    QStringLiteral("--json and --out - both want standard output: write the data to a file");
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
        {QStringLiteral("out"), QStringLiteral("read: the file written (.hex, .bin or -)."),
         QStringLiteral("FILE")},
        {QStringLiteral("range"), QStringLiteral("read: word addresses A-B, hexadecimal."),
         QStringLiteral("A-B")},
        {QStringLiteral("region"), QStringLiteral("read: flash, eeprom or config."),
         QStringLiteral("NAME")},
        {QStringLiteral("flash"), QStringLiteral("Program or verify flash (with --eeprom: both).")},
        {QStringLiteral("eeprom"), QStringLiteral("Program or verify EEPROM.")},
        {QStringLiteral("erase"), QStringLiteral("program: blank 0x100-0x1FFF first.")},
        {QStringLiteral("keep"), QStringLiteral("program: keep the words of a row the file "
                                                "does not set.")},
        {QStringLiteral("verify"), QStringLiteral("program: read back and compare.")},
        {QStringLiteral("erased"), QStringLiteral("verify: every other row must be blank.")},
        {QStringLiteral("strict"), QStringLiteral("Warnings about the file are errors.")},
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
    options.strict = set("strict");
    options.erase = set("erase");
    options.keep = set("keep");
    options.erased = set("erased");
    options.port = parser.value(QStringLiteral("port"));
    options.out = parser.value(QStringLiteral("out"));
    options.range = parser.value(QStringLiteral("range"));
    options.region = parser.value(QStringLiteral("region"));
    options.logPath = parser.value(QStringLiteral("log"));
}

QString Conflicts(const CliOptions& options) {
    if (options.command == QLatin1String("read") && options.out.isEmpty()) return kOutNeeded;
    if (options.erase && options.keep) return kEraseOrKeep;
    if (options.json && options.out == QLatin1String("-")) return kJsonAndStdout;
    return {};
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
    if (error.isEmpty()) error = Conflicts(options);
    return error.isEmpty() ? std::optional(options) : std::nullopt;
}
