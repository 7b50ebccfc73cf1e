#include "clioptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>

#include "optiontable.h"

using namespace OptionTable;

namespace {
const QString kNoCommand = QStringLiteral("no command given (try --help)");
const QString kUnknownCommand = QStringLiteral("unknown command %1 (try --help)");
const QString kFileNeeded = QStringLiteral("%1 needs a HEX file");
const QString kNoFile = QStringLiteral("%1 takes no file");
const QString kNotFor = QStringLiteral("--%1 does not apply to %2 (kestrel-cli help %2)");
const QString kOutNeeded = QStringLiteral("read needs --out FILE.hex, FILE.bin or -");
const QString kEraseOrKeep = QStringLiteral("--erase and --keep exclude each other: choose one");
const QString kPacedOrFast = QStringLiteral("--paced and --fast exclude each other: choose one");
const QString kJsonAndStdout =
    QStringLiteral("--json and --out - both want standard output: write the data to a file");
const QString kRetries = QStringLiteral("--retries takes a whole number of attempts, 1 to 100");
const QString kWait = QStringLiteral("--wait takes seconds, more than 0 and at most 3600");
const QString kVersion = QStringLiteral("kestrel-cli %1\n");
constexpr int kMostRetries = 100;
constexpr double kLongestWait = 3600;

QCommandLineOption ParserOption(const Option& option) {
    QStringList names = {QLatin1String(option.longName)};
    if (*option.shortName) names.prepend(QLatin1String(option.shortName));
    QCommandLineOption parsed(names, QLatin1String(option.text));
    if (*option.value) parsed.setValueName(QLatin1String(option.value));
    return parsed;
}

// The command and its file; the reason when they will not do.
QString ReadPositional(QStringList positional, CliOptions& options) {
    if (positional.isEmpty()) return kNoCommand;
    const QString name = positional.takeFirst();
    const Command* command = FindCommand(name);
    if (!command) return kUnknownCommand.arg(name);
    options.command = QLatin1String(command->name);
    if (*command->operand && positional.size() != 1) return kFileNeeded.arg(options.command);
    if (!*command->operand && !positional.isEmpty()) return kNoFile.arg(options.command);
    options.file = positional.value(0);
    return {};
}

// The first option given that the command does not take.
QString NotApplying(const QCommandLineParser& parser, const Command& command) {
    for (const Option& option : Options())
        if (!(option.commands & command.bit) && parser.isSet(QLatin1String(option.longName)))
            return kNotFor.arg(QLatin1String(option.longName), QLatin1String(command.name));
    return {};
}

QString ReadValues(const QCommandLineParser& parser, CliOptions& options) {
    const auto value = [&parser](const char* name) { return parser.value(QLatin1String(name)); };
    options.ports = parser.values(QStringLiteral("port"));
    options.out = value("out");
    options.range = value("range");
    options.region = value("region");
    options.logPath = value("log");
    bool number = true;
    if (parser.isSet(QStringLiteral("retries"))) options.retries = value("retries").toInt(&number);
    if (!number || options.retries < 1 || options.retries > kMostRetries) return kRetries;
    if (!parser.isSet(QStringLiteral("wait"))) return {};
    options.waitSeconds = value("wait").toDouble(&number);
    // Written so that NaN fails too.
    if (!number || !(options.waitSeconds > 0 && options.waitSeconds <= kLongestWait)) return kWait;
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
    options.paced = set("paced");
    options.json = set("json");
    options.quiet = set("quiet");
    options.verbose = set("verbose");
    options.strict = set("strict");
    options.erase = set("erase");
    options.keep = set("keep");
    options.erased = set("erased");
    options.resume = set("resume");
}

QString Conflicts(const QCommandLineParser& parser, const CliOptions& options) {
    if (options.command == QLatin1String("read") && options.out.isEmpty()) return kOutNeeded;
    if (options.erase && options.keep) return kEraseOrKeep;
    if (options.paced && parser.isSet(QStringLiteral("fast"))) return kPacedOrFast;
    if (options.json && options.out == QLatin1String("-")) return kJsonAndStdout;
    return {};
}

CommandLine Refused(const QString& error, bool json) {
    return {std::nullopt, error, true, json};
}

// Whether JSON was asked for on a line the parser could not read: --json, or -j alone or among
// other switches.
bool JsonAsked(const QStringList& arguments) {
    static const QRegularExpression switches(QStringLiteral("^-[hjqv]*j[hjqv]*$"));
    return std::any_of(arguments.begin(), arguments.end(), [](const QString& argument) {
        return argument == QLatin1String("--json") || switches.match(argument).hasMatch();
    });
}

// help [COMMAND], or --help with or without a command.
std::optional<CommandLine> HelpAsked(const QCommandLineParser& parser) {
    QStringList positional = parser.positionalArguments();
    const bool command = !positional.isEmpty() && positional.first() == QLatin1String("help");
    if (!command && !parser.isSet(QStringLiteral("help"))) return std::nullopt;
    if (command) positional.removeFirst();
    if (positional.isEmpty()) return CommandLine{std::nullopt, Help()};
    const Command* asked = FindCommand(positional.first());
    if (!asked)
        return Refused(kUnknownCommand.arg(positional.first()),
                       parser.isSet(QStringLiteral("json")));
    return CommandLine{std::nullopt, Help(*asked)};
}
}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments, const QString& environmentPort) {
    QCommandLineParser parser;
    for (const Option& option : Options()) parser.addOption(ParserOption(option));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    if (!parser.parse(arguments)) return Refused(parser.errorText(), JsonAsked(arguments));
    if (parser.isSet(QStringLiteral("version")))
        return {std::nullopt, kVersion.arg(QCoreApplication::applicationVersion())};
    if (auto help = HelpAsked(parser)) return *help;
    CliOptions options;
    QString error = ReadPositional(parser.positionalArguments(), options);
    const Command* command = FindCommand(options.command);
    if (error.isEmpty()) error = NotApplying(parser, *command);
    if (error.isEmpty()) error = ReadValues(parser, options);
    ReadFlags(parser, options);
    if (error.isEmpty()) error = Conflicts(parser, options);
    if (options.ports.isEmpty() && !environmentPort.isEmpty()) options.ports = {environmentPort};
    if (!error.isEmpty()) return Refused(error, options.json);
    return {options, {}};
}
