#include "programcommand.h"

#include "clshexcomm.h"
#include "commandcontext.h"
#include "commandhost.h"
#include "convertedfiles.h"
#include "devicetexts.h"
#include "flashimage.h"
#include "prompts.h"
#include "regionprogrammer.h"
#include "waits.h"

namespace {

constexpr qint16 kFlash8ByteBlocks = DeviceMap::kRowWords / DeviceMap::kWriteBlockWords;
constexpr float kFlashInterval = 0.08F;
constexpr float kEEPROMInterval = 0.2F;
constexpr float kEndSeconds = 1.0F;

// EEPROM goes to the device line by line, each at its own address.
class EEPROMLines : public BlockSource {
public:
    QList<WriteBlock> Add(const WriteBlock& line) override { return {line}; }
    QList<WriteBlock> Finish() override { return {}; }
};

bool WriteFlashBlock(clsHexComm& link, const WriteBlock& block) {
    return link.blnWriteProgram(kFlash8ByteBlocks, block.bytAddr, block.bytData);
}

bool WriteEEPROMLine(clsHexComm& link, const WriteBlock& block) {
    return link.blnWriteEEPROM(static_cast<qint16>(block.bytData.size()), block.bytAddr,
                               block.bytData);
}

ProgrammedRegion FlashRegion() {
    return {ConvertedFiles::kFlash,   DeviceText::kProgrammingFlash, DeviceText::kFlashMissing,
            DeviceText::kFlashFailed, DeviceText::kFlashTitle,       kFlashInterval,
            WriteFlashBlock};
}

ProgrammedRegion EEPROMRegion() {
    return {ConvertedFiles::kEEPROM,
            DeviceText::kProgrammingEEPROM,
            DeviceText::kEEPROMMissing,
            DeviceText::kEEPROMFailed,
            DeviceText::kEEPROMTitle,
            kEEPROMInterval,
            WriteEEPROMLine};
}

}  // namespace

void ProgramPIC(CommandContext& context) {
    CommandHost& host = context.host;
    const bool flash = host.IsTicked(Tick::ProgFlash);
    const bool eeprom = host.IsTicked(Tick::ProgEEPROM);
    if (!flash && !eeprom) {
        context.prompts.MsgBox(DeviceText::kNothingSelected, DeviceText::kNothingSelectedTitle,
                               MsgIcon::None);
        return;
    }
    host.EnableCommands(false, false, false, false, false, false, false);
    FlashImage flashImage;
    if (flash && !ProgramRegion(context, FlashRegion(), flashImage)) return;
    EEPROMLines eepromLines;
    if (eeprom && !ProgramRegion(context, EEPROMRegion(), eepromLines)) return;
    if (!context.waits.Delay(kEndSeconds)) return;
    host.SetBusyPointer(false);
    host.SetProgressValue(0);
    host.SetPanelText(PanelKey::kStatus, QString());
    host.EnableCommands(false, true, true, false, false, true, true);
}
