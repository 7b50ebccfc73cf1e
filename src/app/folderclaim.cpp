#include "folderclaim.h"

#include <QDir>

#include "programfolder.h"
#include "prompts.h"
#include "singleinstance.h"

namespace {
const QString kCannotUse = QStringLiteral("Kestrel cannot keep its files in %1: %2");
const QString kLockUnusable = QStringLiteral("its lock file Kestrel.lock cannot be made or read");
}  // namespace

std::optional<int> ClaimProgramFolder(const QString& folder, SingleInstance& instance,
                                      Prompts& prompts) {
    QString reason;
    if (ProgramFolder::Prepare(folder, reason)) {
        switch (instance.Acquire()) {
            case SingleInstance::Claim::Held:
                return std::nullopt;
            case SingleInstance::Claim::Running:
                return 0;
            case SingleInstance::Claim::Unusable:
                reason = kLockUnusable;
                break;
        }
    }
    prompts.MsgBox(kCannotUse.arg(QDir::toNativeSeparators(folder), reason), kProgramTitle,
                   MsgIcon::Critical);
    return 1;
}
