#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Where a simulator's port is found: a symbolic link to its pseudo-terminal's device. It is made
// only where nothing is, or over a link that a simulator no longer running left behind, and it
// goes only while it is still the one made here. The lock PATH.lock says which simulator
// serves the path, so that a second one refuses it.
class PortLink {
public:
    ~PortLink() { Remove(); }

    // False with the reason when the path is another simulator's or holds anything else.
    bool Create(const QString& path, const QString& target, QString& error);
    void Remove();

private:
    bool Place(const QString& path, const QString& target, bool leftBySimulator,
               QString& error) const;

    QString m_path;
    QString m_target;
    std::unique_ptr<QLockFile> m_lock;
};
