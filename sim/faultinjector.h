#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

enum class FaultKind {
    None,
    Silent,
    BadChecksum,
    WrongCommand,
    NoEnd,
    Cut,
    ShortData,
    Unplug,
    Corrupt
};

struct FaultRule {
    FaultKind kind;
    QSet<int> frames;  // empty: every frame
};

// Decides which request frames get a damaged reply, and damages it.
class FaultInjector {
public:
    explicit FaultInjector(QList<FaultRule> rules) : m_rules(std::move(rules)) {}

    // "cut@3,5" and the like; nullopt when the text is not a fault.
    static std::optional<FaultRule> Parse(const QString& text);
    static QString Name(FaultKind kind);

    // The reply fault for this frame number: the first rule that names it, or None.
    FaultKind ReplyFault(int frame) const;
    bool UnplugsAfter(int frame) const;
    // The request payload as the firmware stores it: under a corrupt rule, the first data byte
    // after the header has its lowest bit flipped, while the reply still acknowledges it.
    QByteArray Stored(int frame, const QByteArray& payload, int header) const;

    // The reply frame for the payload with the fault (if any) applied; dataStart is where the
    // data of a data reply begin (0 for an acknowledgement).
    static QByteArray Damage(FaultKind kind, const QByteArray& payload, int dataStart);

private:
    static bool Applies(const FaultRule& rule, int frame) {
        return rule.frames.isEmpty() || rule.frames.contains(frame);
    }

    QList<FaultRule> m_rules;
};
