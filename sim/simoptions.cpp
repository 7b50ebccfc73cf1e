#include "simoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "portpath.h"

namespace {
const QString kDescription =
    QStringLiteral("A simulated PIC16F877A bootloader on a pseudo-terminal.");
const QString kUnexpectedError = QStringLiteral("unexpected argument %1");
const QString kPortError = QStringLiteral("give either --com N (N >= 1) or --link PATH");
const QString kVersionError = QStringLiteral("--version takes MAJOR.MINOR, each 0 to 255");
const QString kTimesError =
    QStringLiteral("--baud takes 9600 or 0; --flash-ms and --eeprom-ms take whole milliseconds");
const QString kFaultError = QStringLiteral("unknown fault %1");
const QString kSpeedError = QStringLiteral("--speed takes a factor of 0 or more");
const QString kModeError = QStringLiteral(
    "%1 belongs to the other mode: --chip takes --firmware and --speed, the behavioural "
    "simulator --version, --baud, --flash-ms, --eeprom-ms and --fault");

// The 20 MHz firmware: beside the sources in a build, under share/kestrel once installed.
QString DefaultFirmware() {
    const QString built = QStringLiteral(KESTREL_FIRMWARE);
    if (QFileInfo::exists(built)) return built;
    return QCoreApplication::applicationDirPath() +
           QStringLiteral("/../share/kestrel/firmware/kestrel-boot-20mhz.hex");
}

// An option set that the chosen mode does not use, or an empty text.
QString OtherMode(const QCommandLineParser& parser, bool chip) {
    const QStringList behavioural{"version", "baud", "flash-ms", "eeprom-ms", "fault"};
    for (const QString& name : chip ? behavioural : QStringList{"firmware", "speed"})
        if (parser.isSet(name)) return QStringLiteral("--") + name;
    return {};
}

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(kDescription);
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("com"), QStringLiteral("Link the port as Com N."), QStringLiteral("N"),
         QStringLiteral("1")},
        {QStringLiteral("link"), QStringLiteral("Link the port at PATH."), QStringLiteral("PATH")},
        {QStringLiteral("version"), QStringLiteral("Firmware version."),
         QStringLiteral("MAJOR.MINOR"), QStringLiteral("1.0")},
        {QStringLiteral("baud"), QStringLiteral("9600, or 0 for no line time."),
         QStringLiteral("BAUD"), QStringLiteral("9600")},
        {QStringLiteral("flash-ms"), QStringLiteral("Time of a 64-byte flash write."),
         QStringLiteral("MS"), QStringLiteral("16")},
        {QStringLiteral("eeprom-ms"), QStringLiteral("Time of an EEPROM byte write."),
         QStringLiteral("MS"), QStringLiteral("4")},
        {QStringLiteral("fault"),
         QStringLiteral("Inject a fault: silent, bad-checksum, wrong-command, "
                        "no-end, cut, short-data, unplug, corrupt (@N,M,...)."),
         QStringLiteral("KIND[@LIST]")},
        {QStringLiteral("dump"), QStringLiteral("Write the memory as Intel HEX on exit."),
         QStringLiteral("FILE")},
        {QStringLiteral("load"), QStringLiteral("Start with the memory of an Intel HEX file."),
         QStringLiteral("FILE")},
        {QStringLiteral("chip"), QStringLiteral("Run Kestrel's firmware in a simulated chip.")},
        {QStringLiteral("firmware"), QStringLiteral("The firmware for --chip."),
         QStringLiteral("FILE.hex")},
        {QStringLiteral("speed"),
         QStringLiteral("The chip's time against wall time: 1 real time, 0 as fast as it goes once "
                        "the host speaks."),
         QStringLiteral("X"), QStringLiteral("1")},
    });
}

std::optional<int> NonNegative(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 0 ? std::optional(value) : std::nullopt;
}

bool ParsePort(const QCommandLineParser& parser, SimOptions& options) {
    const bool link = parser.isSet(QStringLiteral("link"));
    if (link && parser.isSet(QStringLiteral("com"))) return false;
    if (link) {
        options.linkPath = QDir::cleanPath(parser.value(QStringLiteral("link")));
        return true;
    }
    const auto number = NonNegative(parser.value(QStringLiteral("com")));
    if (!number || *number < 1) return false;
    options.linkPath = PortPath::LinkPath(*number);
    return true;
}

bool ParseVersion(const QString& text, SimOptions& options) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 2) return false;
    const auto major = NonNegative(parts[0]);
    const auto minor = NonNegative(parts[1]);
    if (!major || !minor || *major > 255 || *minor > 255) return false;
    options.major = quint8(*major);
    options.minor = quint8(*minor);
    return true;
}

bool ParseTimes(const QCommandLineParser& parser, SimOptions& options) {
    const QString baud = parser.value(QStringLiteral("baud"));
    if (baud != QLatin1String("9600") && baud != QLatin1String("0")) return false;
    options.realTime = baud != QLatin1String("0");
    const auto flash = NonNegative(parser.value(QStringLiteral("flash-ms")));
    const auto eeprom = NonNegative(parser.value(QStringLiteral("eeprom-ms")));
    if (!flash || !eeprom) return false;
    options.flashMs = *flash;
    options.eepromMs = *eeprom;
    return true;
}

// The reason the options are wrong, or an empty text.
QString ReadOptions(const QCommandLineParser& parser, SimOptions& options) {
    if (!parser.positionalArguments().isEmpty())
        return kUnexpectedError.arg(parser.positionalArguments().first());
    if (!ParsePort(parser, options)) return kPortError;
    if (!ParseVersion(parser.value(QStringLiteral("version")), options)) return kVersionError;
    if (!ParseTimes(parser, options)) return kTimesError;
    for (const QString& text : parser.values(QStringLiteral("fault"))) {
        const auto rule = FaultInjector::Parse(text);
        if (!rule) return kFaultError.arg(text);
        options.faults.append(*rule);
    }
    options.chip = parser.isSet(QStringLiteral("chip"));
    if (const QString other = OtherMode(parser, options.chip); !other.isEmpty())
        return kModeError.arg(other);
    options.firmwarePath = parser.isSet(QStringLiteral("firmware"))
                               ? parser.value(QStringLiteral("firmware"))
                               : DefaultFirmware();
    bool ok = false;
    options.speed = parser.value(QStringLiteral("speed")).toDouble(&ok);
    if (!ok || options.speed < 0) return kSpeedError;
    options.dumpPath = parser.value(QStringLiteral("dump"));
    options.loadPath = parser.value(QStringLiteral("load"));
    return {};
}
}  // namespace

std::optional<SimOptions> ParseSimOptions(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    SimOptions options;
    error = ReadOptions(parser, options);
    return error.isEmpty() ? std::optional(options) : std::nullopt;
}
