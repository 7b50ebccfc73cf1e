#include <QTest>

#include "convertedline.h"
#include "devicerig.h"
#include "flashblockassembler.h"
#include "testmain.h"

// Lines as ConvertedLines takes them; a block is "address text" and the
// byte ranges its lines cover, e.g. "000100 0-16,32-48"; the rest must be 0xFF.
class tst_ConvertedCode : public QObject {
    Q_OBJECT
public:
    explicit tst_ConvertedCode(TestEnvironment&) {}

private slots:
    void parse_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("addressText");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("flash") << QByteArray("10,21,00,0F,a5") << true << "002110"
                               << QByteArray("\x0F\xA5");

        QTest::newRow("letter") << QByteArray("00,01,00,0G") << false << "000100" << QByteArray();
        QTest::newRow("3 digits") << QByteArray("00,01,00,0FF") << false << "000100"
                                  << QByteArray();
        QTest::newRow("sign") << QByteArray("00,01,00,+F") << false << "000100" << QByteArray();
        QTest::newRow("short addr") << QByteArray("10,21,0,FF") << false << "02110" << QByteArray();

        QTest::newRow("two fields") << QByteArray("00,01") << false << "0100" << QByteArray();
    }
    void parse() {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(QString, addressText);
        QFETCH(QByteArray, data);
        const std::optional<ConvertedLine> line = ParseConvertedLine(text);
        QCOMPARE(line.has_value(), valid);
        QCOMPARE(AddressTextOf(text), addressText);
        if (line) QCOMPARE(line->bytData, data);
    }

    void assemble_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("blocks");
        const auto rows = [](const char* name, QStringList lines, QStringList blocks) {
            QTest::newRow(name) << lines << blocks;
        };
        rows("five lines", {"100:16", "108:16", "110:16", "118:16", "120:16"},
             {"000100 0-64", "000120 0-16"});
        rows("below 0x100", {"F0:16", "F8:16", "100:16"}, {"000100 0-16"});
        rows("all below", {"0:16", "F8:16"}, {});
        rows("empty", {}, {});
        rows("short and gaps", {"100:16", "108:16", "110:10", "200:16", "208:4", "20A:2"},
             {"000100 0-42", "000200 0-22"});
        rows("gap in block", {"100:16", "110:16"}, {"000100 0-16,32-48"});
        rows("straddles 0x100", {"FC:16", "104:16"}, {"000100 0-24"});
        rows("crosses block end", {"180:16", "188:16", "190:16", "19C:16", "1A4:8"},
             {"000180 0-48,56-64", "0001A0 0-16"});
        rows("overlap", {"100:16", "104:16"}, {"000100 0-16", "000104 0-16"});
        rows("beyond block", {"100:16", "120:8", "140:16"},
             {"000100 0-16", "000120 0-8", "000140 0-16"});
        rows("own address as written", {"a0,01,00,C3,CA", "a1,01,00,D1,D8"}, {"0001a0 0-4"});
        rows("no data", {"100:16", "104:0", "108:16"}, {"000100 0-32"});
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
            const QStringList parts = blocks[i].split(QLatin1Char(' '));
            const quint32 word = parts[0].toUInt(nullptr, 16);
            QByteArray expected(64, '\xFF');
            for (const QString& range : parts[1].split(QLatin1Char(','))) {
                const QStringList ends = range.split(QLatin1Char('-'));
                for (int b = ends[0].toInt(); b < ends[1].toInt(); ++b)
                    expected[b] = ByteAt(word * 2 + b);
            }
            QCOMPARE(written[i].addressText, parts[0]);
            QCOMPARE(written[i].bytAddr, (ByteAddr{quint8(word), quint8(word >> 8), 0}));
            QCOMPARE(written[i].bytData.toHex(), expected.toHex());
        }
    }
};

KESTREL_TEST_MAIN(tst_ConvertedCode)
#include "tst_convertedcode.moc"
