#include <QTest>

#include "convertedline.h"
#include "devicerig.h"
#include "flashblockassembler.h"
#include "testmain.h"

class tst_ConvertedCode : public QObject {
    Q_OBJECT
public:
    explicit tst_ConvertedCode(TestEnvironment&) {}

private slots:
    void rejectsFields() {
        for (const char* text : {"00,01,00,0FF", "00,01,00,+F", "00,01"})
            QVERIFY2(!ParseConvertedLine(text), text);
    }

    // A block is its address text and the byte ranges its lines cover; the rest must be 0xFF.
    void assemble_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("blocks");
        const auto row = [](const char* name, QStringList lines, QStringList blocks) {
            QTest::newRow(name) << lines << blocks;
        };
        row("five lines", {"100:16", "108:16", "110:16", "118:16", "120:16"},
            {"000100 0-64", "000120 0-16"});
        row("below and across 0x100", {"F0:16", "FC:16", "104:16"}, {"000100 0-24"});
        row("short and gaps", {"100:16", "108:16", "110:10", "200:16", "208:4", "20A:2"},
            {"000100 0-42", "000200 0-22"});
        row("gap, then at block end", {"100:16", "110:16", "120:8"},
            {"000100 0-16,32-48", "000120 0-8"});
        row("crosses block end", {"180:16", "188:16", "190:16", "19C:16", "1A4:8"},
            {"000180 0-48,56-64", "0001A0 0-16"});
        row("overlap", {"100:16", "104:16"}, {"000100 0-16", "000104 0-16"});
        row("own address as written", {"a0,01,00,C3,CA", "a1,01,00,D1,D8"}, {"0001a0 0-4"});
        row("no data", {"100:16", "104:0", "108:16"}, {"000100 0-32"});
    }
    void assemble() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, blocks);
        FlashBlockAssembler assembler;
        QList<WriteBlock> written;
        for (const QString& text : ConvertedLines(lines))
            written += assembler.Add(*ParseConvertedLine(text.toLatin1()));
        written += assembler.Finish();
        QCOMPARE(written.size(), blocks.size());
        for (int i = 0; i < blocks.size(); ++i) {
            const QString address = blocks[i].section(QLatin1Char(' '), 0, 0);
            const quint32 word = address.toUInt(nullptr, 16);
            QByteArray expected(64, '\xFF');
            for (const QString& range : blocks[i].section(QLatin1Char(' '), 1).split(','))
                for (int b = range.section('-', 0, 0).toInt(); b < range.section('-', 1).toInt();
                     ++b)
                    expected[b] = ByteAt(word * 2 + b);
            QCOMPARE(written[i].addressText, address);
            QCOMPARE(written[i].bytAddr, (ByteAddr{quint8(word), quint8(word >> 8), 0}));
            QCOMPARE(written[i].bytData.toHex(), expected.toHex());
        }
    }
};

KESTREL_TEST_MAIN(tst_ConvertedCode)
#include "tst_convertedcode.moc"
