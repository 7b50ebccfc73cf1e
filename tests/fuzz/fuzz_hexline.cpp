// One HEX line through the record check, the three conversions and the flash row gathering.
#include <QByteArray>
#include <QString>

#include "convertedline.h"
#include "flashimage.h"
#include "modconverthexfile.h"
#include "raisederror.h"

using namespace modConvertHexFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray line(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        QString message;
        if (blnHexLineError(line, message)) return 0;
        const QByteArray address = line.mid(3, 4);
        FlashImage image;
        for (const QByteArray& converted :
             {strConvertCodeLine(address, line), strConvertUserIDLine(address, line)}) {
            WriteBlock block{{}, ConvertedLine(converted).AddressText(), {}};
            if (ConvertedLine(converted).Decode(block.bytAddr, block.bytData)) image.Add(block);
        }
        image.Finish();
        ResetEEPROMLine();
        ConvertEEPROMLine(line);
        ConvertEEPROMLine(line);
    } catch (const RaisedError&) {
        // A field that is not hexadecimal ends the import silently: not a finding.
    }
    return 0;
}
