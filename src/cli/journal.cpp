#include "journal.h"

#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace {
const QString kNone = QStringLiteral("no interrupted run on %1");
const QString kOther =
    QStringLiteral("the last run on %1 wrote another file or wrote it otherwise");
}  // namespace

Journal::Journal(const QString& port, QByteArray identity)
    : m_port(port), m_identity(std::move(identity)) {
    m_file.setFileName(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                       QStringLiteral("/Kestrel/resume/") +
                       QString::fromLatin1(QUrl::toPercentEncoding(port)));
}

QByteArray Journal::Header() const {
    return "kestrel-cli journal 1\nport " + m_port.toUtf8() + "\nimage " + m_identity + '\n';
}

QMap<QString, int> Journal::Last(QString& why) const {
    QFile file(m_file.fileName());
    if (!file.open(QIODevice::ReadOnly)) {
        why = kNone.arg(m_port);
        return {};
    }
    const QByteArray text = file.readAll();
    if (!text.startsWith(Header())) {
        why = kOther.arg(m_port);
        return {};
    }
    QMap<QString, int> done;
    QList<QByteArray> lines = text.mid(Header().size()).split('\n');
    lines.removeLast();  // after the last line end: nothing, or a line the run's end cut short
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        bool number = false;
        const int count = fields.value(1).toInt(&number);
        if (fields.size() == 2 && number) done[QString::fromLatin1(fields[0])] = count;
    }
    if (done.isEmpty()) why = kNone.arg(m_port);
    return done;
}

bool Journal::Start(const QMap<QString, int>& done, QString& error) {
    QDir().mkpath(QFileInfo(m_file).path());
    m_file.close();
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) ||
        m_file.write(Header()) < 0) {
        error = m_file.errorString();
        return false;
    }
    for (auto it = done.cbegin(); it != done.cend(); ++it) Acknowledged(it.key(), it.value());
    return true;
}

void Journal::Acknowledged(const QString& step, int count) {
    if (m_file.isOpen()) m_file.write(QStringLiteral("%1 %2\n").arg(step).arg(count).toUtf8());
}

void Journal::Remove() {
    m_file.close();
    m_file.remove();
}
