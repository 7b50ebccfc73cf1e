#pragma once

#include <QString>

// What a device path is and whether it can be opened, in plain words: "ready", "missing",
// "dangling link to X", "no permission (...dialout...)", "busy", or the open error.
namespace PortDiagnosis {
QString Of(const QString& device);
}
