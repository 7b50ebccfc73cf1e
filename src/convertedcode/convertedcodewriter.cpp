#include "convertedcodewriter.h"

#include "ownfile.h"

bool ConvertedCodeWriter::Create(const QString& folder) {
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        if (!CreateOwnFile(m_files[i], ConvertedFiles::PathOf(folder, ConvertedFiles::kAll[i])))
            return false;
    }
    return true;
}

bool ConvertedCodeWriter::WriteLine(MemoryRegion region, const QByteArray& line) {
    QFile& file = m_files[static_cast<std::size_t>(region)];
    return file.write(line) == line.size() && file.write("\r\n", 2) == 2;
}

bool ConvertedCodeWriter::Close() {
    bool flushed = true;
    for (QFile& file : m_files) {
        flushed = file.flush() && flushed;
        file.close();
    }
    return flushed;
}
