#include "clearcommand.h"

#include <QFile>

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
}  // namespace

void ClearImportedCode(CommandContext& context) {
    CommandHost& host = context.host;
    host.SetPanelText(PanelKey::kStatus, kClearing);
    for (const QString& name : ConvertedFiles::kAll) {
        const QString path = ConvertedFiles::PathOf(context.programFolder, name);
        if (QFile::exists(path) && !QFile::remove(path))
            context.prompts.MsgBox(kUnableToDelete + path, kClearFileError, MsgIcon::Critical);
    }
    context.waits.Delay(kPause);
    host.EnableCommands(true, false, false, false, false, false, true);
    host.SetPanelText(PanelKey::kStatus, QString());
    host.SetPanelText(PanelKey::kBootCodeVersion, QString());
    context.waits.Delay(kPause);
}
