#include "viewcommand.h"

#include <array>

#include "commandcontext.h"
#include "commandhost.h"
#include "convertedfiles.h"
#include "linecount.h"
#include "linereader.h"
#include "prompts.h"
#include "viewline.h"
#include "waits.h"

namespace {

struct ViewedRegion {
    Tick tick;
    QString file;
    QString header;
    QString status;
    QString missingText;
    QString missingTitle;
};

// In the order the view shows them.
const std::array<ViewedRegion, 4> kRegions = {{
    {Tick::ViewFlash, ConvertedFiles::kFlash, QStringLiteral("Start of flash program code"),
     QStringLiteral("Converting flash to view..."),
     QStringLiteral("Converted program flash code file does not exist"),
     QStringLiteral("Flash code file Error")},
    {Tick::ViewEEPROM, ConvertedFiles::kEEPROM, QStringLiteral("Start of EEPROM program code"),
     QStringLiteral("Converting EEPROM to view..."),
     QStringLiteral("Converted program EEPROM code file does not exist"),
     QStringLiteral("EEPROM code file Error")},
    {Tick::ViewUserID, ConvertedFiles::kUserID, QStringLiteral("Start of UserID program code"),
     QStringLiteral("Converting user ID to view..."),
     QStringLiteral("Converted program user ID file does not exist"),
     QStringLiteral("User ID file Error")},
    {Tick::ViewConfig, ConvertedFiles::kConfig, QStringLiteral("Start of Config program code"),
     QStringLiteral("Converting config to view..."),
     QStringLiteral("Converted program config code file does not exist"),
     QStringLiteral("Config code file Error")},
}};

const QString kNothingSelectedText = QStringLiteral("Please first select a code section to view");
const QString kNothingSelectedTitle = QStringLiteral("Nothing selected");
const QString kCrLf = QStringLiteral("\r\n");
constexpr float kRegionPause = 0.5F;

enum class Outcome { Converted, Missing, Stopped };

bool AnyTicked(const CommandHost& host) {
    for (const ViewedRegion& region : kRegions)
        if (host.IsTicked(region.tick)) return true;
    return false;
}

// Appends the view lines of one converted code file. A file that vanished since the check adds
// nothing. False when the window closed meanwhile.
bool ConvertFileToView(CommandContext& context, const QString& path, QString& text) {
    LineReader reader(path);
    if (!reader.Open()) return true;
    CommandHost& host = context.host;
    host.SetBusyPointer(true);
    bool stopped = false;
    QByteArray line;
    while (!stopped && reader.ReadLine(line)) {
        text += modGeneral::strConvertViewLine(line) + kCrLf;
        host.SetProgressValue(host.ProgressValue() + 1);
        stopped = !context.waits.Yield();
    }
    reader.Close();
    host.SetBusyPointer(false);
    return !stopped;
}

Outcome AppendRegion(CommandContext& context, const ViewedRegion& region, QString& text) {
    CommandHost& host = context.host;
    text += kCrLf + region.header + kCrLf;
    const QString path = ConvertedFiles::PathOf(context.programFolder, region.file);
    switch (CountConvertedLines(context, path)) {
        case LineCount::Counted:
            break;
        case LineCount::Unreadable:  // as good as missing
            context.prompts.MsgBox(region.missingText, region.missingTitle, MsgIcon::Critical);
            return Outcome::Missing;
        case LineCount::Stopped:
            return Outcome::Stopped;
    }
    host.SetProgressRange(0, host.State().intLineCount);
    host.SetProgressValue(0);
    host.SetPanelText(PanelKey::kStatus, region.status);
    if (!ConvertFileToView(context, path, text)) return Outcome::Stopped;
    return context.waits.Delay(kRegionPause) ? Outcome::Converted : Outcome::Stopped;
}

// A missing file ends here too, so the window stays usable.
void OfferNextSteps(CommandHost& host) {
    host.SetProgressValue(0);
    host.SetPanelText(PanelKey::kStatus, QString());
    host.EnableCommands(false, true, true, true, false, false, true);
}

}  // namespace

void ViewHexCode(CommandContext& context) {
    CommandHost& host = context.host;
    if (!AnyTicked(host)) {
        context.prompts.MsgBox(kNothingSelectedText, kNothingSelectedTitle, MsgIcon::None,
                               MsgButtons::OkCancel);
        return;
    }
    host.EnableCommands(false, false, false, false, false, false, false);
    QString text;
    for (const ViewedRegion& region : kRegions) {
        if (!host.IsTicked(region.tick)) continue;
        switch (AppendRegion(context, region, text)) {
            case Outcome::Converted:
                break;
            case Outcome::Missing:
                OfferNextSteps(host);
                return;
            case Outcome::Stopped:
                return;
        }
    }
    OfferNextSteps(host);
    host.SetPanelText(PanelKey::kBootCodeVersion, QString());
    host.ShowCodeView(text);
}
