#include "linecount.h"

#include <algorithm>

#include "commandcontext.h"
#include "commandhost.h"
#include "linereader.h"
#include "waits.h"

LineCount CountConvertedLines(CommandContext& context, const QString& path) {
    constexpr int kMaxLineCount = 32767;  // intLineCount is 16-bit
    int count = 0;
    LineReader reader(path);
    if (!reader.Open()) return LineCount::Unreadable;
    QByteArray line;
    while (reader.ReadLine(line)) {
        ++count;
        if (!context.waits.Yield()) return LineCount::Stopped;
    }
    if (reader.HasError()) return LineCount::Unreadable;
    context.host.State().intLineCount = static_cast<qint16>(std::min(count, kMaxLineCount));
    return LineCount::Counted;
}
