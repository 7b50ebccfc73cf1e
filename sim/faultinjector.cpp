#include "faultinjector.h"

#include <algorithm>

#include "framecodec.h"

namespace {
struct KindName {
    FaultKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {
    {FaultKind::Silent, "silent"},
    {FaultKind::BadChecksum, "bad-checksum"},
    {FaultKind::WrongCommand, "wrong-command"},
    {FaultKind::NoEnd, "no-end"},
    {FaultKind::Cut, "cut"},
    {FaultKind::ShortData, "short-data"},
    {FaultKind::Unplug, "unplug"},
    {FaultKind::Corrupt, "corrupt"},
};
constexpr quint8 kOtherCommand = 0x80;  // flipping the top bit never gives a valid code

QByteArray Escaped(QByteArray bytes) {
    Frame::AddEscapeBytes(bytes);
    return bytes;
}
}  // namespace

std::optional<FaultRule> FaultInjector::Parse(const QString& text) {
    const QString name = text.section(QLatin1Char('@'), 0, 0);
    const auto known =
        std::find_if(std::begin(kKindNames), std::end(kKindNames),
                     [&](const KindName& k) { return name == QLatin1String(k.name); });
    if (known == std::end(kKindNames)) return std::nullopt;
    FaultRule rule{known->kind, {}};
    if (!text.contains(QLatin1Char('@')))
        return rule.kind == FaultKind::Unplug ? std::nullopt : std::optional(rule);
    for (const QString& number : text.section(QLatin1Char('@'), 1).split(QLatin1Char(','))) {
        bool ok = false;
        const int frame = number.toInt(&ok);
        if (!ok || frame < 1) return std::nullopt;
        rule.frames.insert(frame);
    }
    return rule;
}

QString FaultInjector::Name(FaultKind kind) {
    for (const KindName& k : kKindNames)
        if (k.kind == kind) return QLatin1String(k.name);
    return {};
}

FaultKind FaultInjector::ReplyFault(int frame) const {
    for (const FaultRule& rule : m_rules)
        if (rule.kind != FaultKind::Unplug && rule.kind != FaultKind::Corrupt &&
            Applies(rule, frame))
            return rule.kind;
    return FaultKind::None;
}

QByteArray FaultInjector::Stored(int frame, const QByteArray& payload, int header) const {
    const bool corrupt = std::any_of(m_rules.begin(), m_rules.end(), [&](const FaultRule& rule) {
        return rule.kind == FaultKind::Corrupt && Applies(rule, frame);
    });
    if (!corrupt || payload.size() <= header) return payload;
    QByteArray stored = payload;
    stored[header] = char(stored[header] ^ 0x01);
    return stored;
}

bool FaultInjector::UnplugsAfter(int frame) const {
    return std::any_of(m_rules.begin(), m_rules.end(), [&](const FaultRule& rule) {
        return rule.kind == FaultKind::Unplug && Applies(rule, frame);
    });
}

QByteArray FaultInjector::Damage(FaultKind kind, const QByteArray& payload, int dataStart) {
    const char stx = char(Frame::kStx);
    const char checksum = char(Frame::CalcCheckSum(payload));
    switch (kind) {
        case FaultKind::None:
        case FaultKind::Corrupt:
            break;
        case FaultKind::Silent:
        case FaultKind::Unplug:
            return {};
        case FaultKind::BadChecksum:
            return Frame::Build(payload).chopped(1).append(char(checksum + 1));
        case FaultKind::WrongCommand:
            return Frame::Build(
                QByteArray(payload).replace(0, 1, QByteArray(1, char(payload[0] ^ kOtherCommand))));
        case FaultKind::NoEnd:
            return stx + Escaped(payload) + checksum;
        case FaultKind::Cut:
            return stx + Escaped(payload.left(1));
        case FaultKind::ShortData:
            return Frame::Build(dataStart > 0 && payload.size() > dataStart ? payload.chopped(1)
                                                                            : payload);
    }
    return Frame::Build(payload);
}
