#include "golden.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryFile>

void Golden::Mask(const QString& text, const QString& label) {
    Mask(QRegularExpression(QRegularExpression::escape(text)), label);
}

void Golden::Mask(const QRegularExpression& pattern, const QString& label) {
    m_masks.append({pattern, '<' + label + '>'});
}

QString Golden::Diff(QStringList lines) const {
    if (qEnvironmentVariableIsEmpty("KESTREL_TEST_DATA")) return "KESTREL_TEST_DATA is not set";
    for (QString& line : lines)
        for (const auto& [pattern, label] : m_masks) line.replace(pattern, label);
    const QString folder = qEnvironmentVariable("KESTREL_TEST_DATA") + "/golden";
    const bool update = qEnvironmentVariable("KESTREL_UPDATE_GOLDEN") == "1";
    QTemporaryFile seen;
    QFile file(folder + '/' + m_name);
    QFile& written = update ? file : seen;
    if (!QDir().mkpath(folder) || !written.open(QIODevice::WriteOnly) ||
        written.write((lines.join('\n') + '\n').toUtf8()) <= 0 || !written.flush())
        return "cannot write " + written.fileName() + ": " + written.errorString();
    if (update) return {};
    // diff(1) of the committed file, or of none when it is missing, to what was seen.
    QProcess diff;
    diff.start("diff", {"-u", "-N", "--label", file.fileName(), "--label", "seen", file.fileName(),
                        seen.fileName()});
    if (!diff.waitForFinished() || diff.exitCode() > 1) return "diff failed: " + diff.errorString();
    const QString changes = QString::fromUtf8(diff.readAllStandardOutput());
    return changes.isEmpty()
               ? changes
               : changes + "KESTREL_UPDATE_GOLDEN=1 rewrites the file with what was seen.";
}
