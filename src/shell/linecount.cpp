#include "linecount.h"

#include <algorithm>

#include "commandhost.h"
#include "delay.h"
#include "linereader.h"

bool CountConvertedLines(CommandHost& host, const QString& path) {
    constexpr int kMaxLineCount = 32767;  // intLineCount is 16-bit
    int count = 0;
    LineReader reader(path);
    if (reader.Open()) {
        QByteArray line;
        while (reader.ReadLine(line)) {
            ++count;
            modGeneral::DoEvents();
            if (modGeneral::WaitingStopped()) return false;
        }
    }
    host.State().intLineCount = static_cast<qint16>(std::min(count, kMaxLineCount));
    return true;
}
