#include "portscommand.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include "console.h"
#include "portdiagnosis.h"
#include "portpath.h"

namespace {
constexpr int kComPorts = 4;
const QString kComLine = QStringLiteral("Com %1  %2  %3");
const QString kLinked = QStringLiteral("%1 -> %2");
const QString kSeen = QStringLiteral("Serial ports:");
const QString kSeenLine = QStringLiteral("  %1  %2  %3  %4");
const QString kNoneSeen = QStringLiteral("  none");
const QString kUnknown = QStringLiteral("-");

QString ComLine(int number, QJsonArray& json) {
    // A ports-folder entry is Com N even when its target has gone.
    const QString entry = PortPath::LinkPath(number);
    const QString device = QFileInfo(entry).isSymLink() ? entry : PortPath::DeviceName(number);
    const QFileInfo info(device);
    const QString where = info.isSymLink() ? kLinked.arg(device, info.symLinkTarget()) : device;
    const QString state = PortDiagnosis::Of(device);
    json.append(QJsonObject{{QStringLiteral("com"), number},
                            {QStringLiteral("device"), where},
                            {QStringLiteral("state"), state}});
    return kComLine.arg(number).arg(where, state);
}

QString SeenLine(const QSerialPortInfo& port, QJsonArray& json) {
    const QString ids = port.hasVendorIdentifier() && port.hasProductIdentifier()
                            ? QStringLiteral("%1:%2")
                                  .arg(port.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                                  .arg(port.productIdentifier(), 4, 16, QLatin1Char('0'))
                            : kUnknown;
    const auto text = [](const QString& value) { return value.isEmpty() ? kUnknown : value; };
    json.append(QJsonObject{{QStringLiteral("name"), port.portName()},
                            {QStringLiteral("description"), port.description()},
                            {QStringLiteral("id"), ids},
                            {QStringLiteral("serial"), port.serialNumber()}});
    return kSeenLine.arg(port.systemLocation(), text(port.description()), ids,
                         text(port.serialNumber()));
}
}  // namespace

ExitStatus ListPorts(Console& console, Report& report) {
    QJsonArray coms;
    for (int number = 1; number <= kComPorts; ++number) console.Result(ComLine(number, coms));
    QJsonArray seen;
    console.Result(kSeen);
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) console.Result(SeenLine(port, seen));
    if (ports.isEmpty()) console.Result(kNoneSeen);
    report.Set(QStringLiteral("coms"), coms);
    report.Set(QStringLiteral("ports"), seen);
    return ExitStatus::Success;
}
