#pragma once

#include <QFile>
#include <QMap>
#include <QString>

// What a program run has had acknowledged, step by step, in the user's cache folder, so that
// program --resume can go on from the first request not acknowledged: one journal a port, for
// one image written one way (its identity). Each acknowledgement is a line appended at once,
// so the journal holds up to the last one whatever way the run ends.
class Journal {
public:
    Journal(const QString& port, QByteArray identity);

    // The exchanges each step of the last run on the port had acknowledged, when it wrote the
    // same identity; else empty, with the reason in `why`.
    QMap<QString, int> Last(QString& why) const;
    // Starts this run's journal with what is already acknowledged; false (with the reason) when
    // it cannot be written.
    bool Start(const QMap<QString, int>& done, QString& error);
    void Acknowledged(const QString& step, int count);
    // Everything was written: nothing is left to resume.
    void Remove();

private:
    QByteArray Header() const;

    QString m_port;
    QByteArray m_identity;
    QFile m_file;
};
