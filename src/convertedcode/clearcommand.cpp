#include "clearcommand.h"

#include <QFile>
#include <QFileInfo>

#include "commandcontext.h"
#include "commandhost.h"
#include "convertedfiles.h"
#include "prompts.h"
#include "waits.h"

namespace {
const QString kClearing = QStringLiteral("Clearing hex code...");
const QString kUnableToDelete = QStringLiteral("Unable to delete ");
const QString kClearFileError = QStringLiteral("Clear File Error");
constexpr float kPause = 0.5F;

// Clearing must not override a read-only file. Root may write any file, so the owner's write
// bit counts too. A link goes itself, whatever it points at.
bool IsReadOnly(const QFileInfo& info) {
    if (info.isSymLink()) return false;
    return !info.isWritable() || !info.permissions().testFlag(QFileDevice::WriteOwner);
}
}  // namespace

void ClearImportedCode(CommandContext& context) {
    CommandHost& host = context.host;
    host.SetPanelText(PanelKey::kStatus, kClearing);
    for (const QString& name : ConvertedFiles::kAll) {
        const QFileInfo info(ConvertedFiles::PathOf(context.programFolder, name));
        const QString path = info.filePath();
        if ((info.exists() || info.isSymLink()) && (IsReadOnly(info) || !QFile::remove(path)))
            context.prompts.MsgBox(kUnableToDelete + path, kClearFileError, MsgIcon::Critical);
    }
    context.waits.Delay(kPause);
    host.EnableCommands(true, false, false, false, false, false, true);
    host.SetPanelText(PanelKey::kStatus, QString());
    host.SetPanelText(PanelKey::kBootCodeVersion, QString());
    context.waits.Delay(kPause);
}
