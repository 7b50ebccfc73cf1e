#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "convertedcodewriter.h"

struct CommandContext;
class HexInput;

enum class ImportResult { Success, Failed, Stopped };

// Reads the HEX file record by record up to its end record, checks each record and writes
// its data to the converted code file of its region.
class HexRecordLoop {
public:
    HexRecordLoop(CommandContext& context, HexInput& hex, ConvertedCodeWriter& files);

    ImportResult Run();

private:
    // No value: go on with the next line.
    using Step = std::optional<ImportResult>;

    Step Record(const QByteArray& line);
    Step LinearAddress(const QByteArray& line);
    Step Data(const QByteArray& line);
    Step EndOfFile();
    Step Fail(const QString& text, const QString& title);
    Step Yield();
    void Write(MemoryRegion region, const QByteArray& line);
    void SelectRegion(const QByteArray& address);

    CommandContext& m_context;
    HexInput& m_hex;
    ConvertedCodeWriter& m_files;
    bool m_linear = false;  // a type "04" record was seen
    MemoryRegion m_region = MemoryRegion::Flash;
};
