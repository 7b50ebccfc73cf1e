#include "importcommand.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <optional>

#include "commandcontext.h"
#include "commandhost.h"
#include "hexfiletexts.h"
#include "hexinput.h"
#include "hexrecordloop.h"
#include "modconverthexfile.h"
#include "prompts.h"
#include "raisederror.h"
#include "settings.h"
#include "waits.h"

namespace {

constexpr float kEndSeconds = 1.0F;
bool g_importing = false;

bool FileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

// The dialog and the existence check. No value: the command ends here.
std::optional<QString> ChooseHexFile(CommandContext& context) {
    const QString& last = context.host.State().strHexFilePath;
    const QString start = FileExists(last) ? last : context.programFolder;
    const std::optional<QString> chosen = context.prompts.OpenFile(HexFileText::kFilter, start);
    if (!chosen) return std::nullopt;
    if (!context.waits.Yield()) return std::nullopt;
    if (!FileExists(*chosen)) {
        context.prompts.MsgBox(HexFileText::kFileMissing, HexFileText::kSelectAnother,
                               MsgIcon::Exclamation);
        return std::nullopt;
    }
    return chosen;
}

// Opens the file, remembers a new path and counts its lines. False when waits were stopped.
bool CountLines(CommandContext& context, const QString& path) {
    HexInput hex(path);
    MainState& state = context.host.State();
    if (path != state.strHexFilePath) {
        state.strHexFilePath = path;
        context.settings.Write(SettingKey::kHexPath, SettingKey::kPath, path);
    }
    state.intLineCount = 0;
    QByteArray line;
    while (hex.ReadLine(line)) {
        if (state.intLineCount == INT16_MAX) throw RaisedError();  // the 16-bit count overflows
        ++state.intLineCount;
        if (!context.waits.Yield()) return false;
    }
    return true;
}

// Converts the records into the four files.
ImportResult ConvertRecords(CommandContext& context, const QString& path) {
    CommandHost& host = context.host;
    host.SetProgressRange(0, host.State().intLineCount);
    host.SetProgressValue(0);
    modConvertHexFile::ResetEEPROMLine();
    HexInput hex(path);
    host.SetBusyPointer(true);
    host.SetPanelText(PanelKey::kStatus, HexFileText::kImporting);
    ConvertedCodeWriter files;
    if (!files.Create(context.programFolder)) throw RaisedError();
    const ImportResult result = HexRecordLoop(context, hex, files).Run();
    if (result == ImportResult::Stopped) return result;
    hex.Close();
    if (!files.Close()) throw RaisedError();
    host.SetBusyPointer(false);
    return result;
}

void Import(CommandContext& context) {
    const std::optional<QString> path = ChooseHexFile(context);
    if (!path || !CountLines(context, *path)) return;
    const ImportResult result = ConvertRecords(context, *path);
    if (result == ImportResult::Stopped) return;
    CommandHost& host = context.host;
    if (result == ImportResult::Success) {
        host.SetPanelText(PanelKey::kStatus, HexFileText::kSuccess);
        host.EnableCommands(false, true, true, true, false, false, true);
    } else {
        host.SetPanelText(PanelKey::kStatus, HexFileText::kFailed);
    }
    if (!context.waits.Yield() || !context.waits.Delay(kEndSeconds)) return;
    host.SetPanelText(PanelKey::kStatus, QString());
    host.SetProgressValue(0);
}

}  // namespace

void ImportHexFile(CommandContext& context) {
    // A second import reached through a yield of the first does not start.
    if (g_importing) return;
    g_importing = true;
    const auto done = qScopeGuard([] { g_importing = false; });
    try {
        Import(context);
    } catch (const RaisedError&) {
        // Ends without a message or a result; open files close as they go out of scope and keep
        // what was written. The window must not go on looking busy.
        context.host.SetBusyPointer(false);
        context.host.SetPanelText(PanelKey::kStatus, QString());
        context.host.SetProgressValue(0);
    }
}
