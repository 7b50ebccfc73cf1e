#pragma once

#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QStringList>

// Lines compared with a committed file in tests/data/golden/, reviewed like code. A mismatch is
// told as a unified diff; with KESTREL_UPDATE_GOLDEN=1 the file is rewritten instead, so a
// deliberate change is one diff of the file.
class Golden {
public:
    explicit Golden(const QString& name) : m_name(name) {}

    // What is not the same on every machine or run shows in the file as <label>.
    void Mask(const QString& text, const QString& label);
    void Mask(const QRegularExpression& pattern, const QString& label);

    // Empty when the masked lines match the file (or have just been written to it), otherwise
    // the diff from the file to them.
    QString Diff(QStringList lines) const;

private:
    QString m_name;
    QList<QPair<QRegularExpression, QString>> m_masks;
};
