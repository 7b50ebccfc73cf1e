#include "convertedcodefiles.h"

#include "convertedfiles.h"
#include "raisederror.h"

ConvertedCodeFiles::ConvertedCodeFiles(const QString& folder) {
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        m_files[i].setFileName(ConvertedFiles::PathOf(folder, ConvertedFiles::kAll[i]));
        if (!m_files[i].open(QIODevice::WriteOnly | QIODevice::Truncate)) throw RaisedError();
    }
}

void ConvertedCodeFiles::WriteLine(Region region, const QByteArray& line) {
    QFile& file = m_files[static_cast<std::size_t>(region)];
    if (file.write(line) != line.size() || file.write("\r\n", 2) != 2) throw RaisedError();
}

void ConvertedCodeFiles::Close() {
    for (QFile& file : m_files) {
        const bool flushed = file.flush();
        file.close();
        if (!flushed) throw RaisedError();
    }
}
