#include "regionprogrammer.h"

#include "clshexcomm.h"
#include "commandcontext.h"
#include "commandhost.h"
#include "convertedfiles.h"
#include "convertedline.h"
#include "linecount.h"
#include "lineprogress.h"
#include "linereader.h"
#include "prompts.h"
#include "waits.h"

namespace {

constexpr qint16 kWriteRetries = 2;

enum class Outcome { Written, Failed, Stopped };

void ShowFailure(CommandContext& context, const ProgrammedRegion& region,
                 const QString& addressText) {
    context.prompts.MsgBox(region.failureText + addressText, region.title, MsgIcon::Critical);
}

void ShowProgress(CommandHost& host, const LineProgress& progress) {
    if (host.ProgressValue() != progress.Done()) host.SetProgressValue(progress.Done());
}

// Sends the writes, the progress bar following what the device has acknowledged.
Outcome WriteBlocks(CommandContext& context, const ProgrammedRegion& region,
                    const QList<WriteBlock>& blocks, LineProgress& progress, bool final) {
    CommandHost& host = context.host;
    clsHexComm& link = *host.State().objHexComm;
    progress.Plan(blocks, final);
    ShowProgress(host, progress);
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const bool written = region.write(link, blocks[i]);
        if (context.waits.Stopped()) return Outcome::Stopped;
        if (!written) {
            ShowFailure(context, region, blocks[i].addressText);
            return Outcome::Failed;
        }
        progress.Acknowledged(i);
        ShowProgress(host, progress);
        if (!context.waits.Yield()) return Outcome::Stopped;
    }
    return Outcome::Written;
}

Outcome WriteLines(CommandContext& context, const ProgrammedRegion& region, BlockSource& source,
                   LineReader& reader) {
    LineProgress progress;
    QByteArray text;
    while (reader.ReadLine(text)) {
        const ConvertedLine line(text);
        WriteBlock decoded{{}, line.AddressText(), {}};
        if (!line.Decode(decoded.bytAddr, decoded.bytData)) {
            ShowFailure(context, region, decoded.addressText);
            return Outcome::Failed;
        }
        progress.Read(decoded);
        const Outcome outcome = WriteBlocks(context, region, source.Add(decoded), progress, false);
        if (outcome != Outcome::Written) return outcome;
    }
    return WriteBlocks(context, region, source.Finish(), progress, true);
}

}  // namespace

bool ProgramRegion(CommandContext& context, const ProgrammedRegion& region, BlockSource& source) {
    CommandHost& host = context.host;
    const QString path = ConvertedFiles::PathOf(context.programFolder, region.fileName);
    switch (CountConvertedLines(context, path)) {
        case LineCount::Counted:
            break;
        case LineCount::Unreadable:  // as good as missing: a file it cannot read is no region
            context.prompts.MsgBox(region.missingText, region.title, MsgIcon::Critical);
            return true;
        case LineCount::Stopped:
            return false;
    }
    host.SetProgressRange(0, host.State().intLineCount);
    host.SetProgressValue(0);
    clsHexComm& link = *host.State().objHexComm;
    link.SetTimeOutInterval(region.sngInterval);
    link.SetTimeOutRetries(kWriteRetries);
    LineReader reader(path);
    reader.Open();
    host.SetBusyPointer(true);
    host.SetPanelText(PanelKey::kStatus, region.statusText);
    return WriteLines(context, region, source, reader) != Outcome::Stopped;
}
