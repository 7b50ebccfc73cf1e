#include <QClipboard>
#include <QFile>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <optional>

#include "commandcontext.h"
#include "convertedfiles.h"
#include "delay.h"
#include "fakehost.h"
#include "frmviewcode.h"
#include "scriptedprompts.h"
#include "settings.h"
#include "testmain.h"
#include "twips.h"
#include "viewcommand.h"
#include "viewline.h"

using Files = QMap<QString, QByteArray>;
using Ticks = QList<Tick>;
Q_DECLARE_METATYPE(Files)
Q_DECLARE_METATYPE(Ticks)
Q_DECLARE_METATYPE(MsgResult)

namespace {
const FakeHost::Groups kAllOff{};
const QList<FakeHost::Groups> kViewCalls{kAllOff, {false, true, true, true, false, false, true}};
const QString kVersion = QStringLiteral("v1.2");
const QString kFullLine =
    QStringLiteral("001FF8   0100   0302   0504   0706   0908   0B0A   0D0C   0F0E");

QPoint PixelsOf(int leftTwips, int topTwips) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return {Twips::ToPixels(leftTwips, screen->logicalDotsPerInchX()),
            Twips::ToPixels(topTwips, screen->logicalDotsPerInchY())};
}
}  // namespace

class tst_View : public QObject {
    Q_OBJECT
public:
    explicit tst_View(TestEnvironment& environment) : m_folder(environment.ProgramFolder()) {}

private:
    void Run(const Ticks& ticks, const Files& files) {
        for (const Tick tick : m_host->ticks.keys()) m_host->ticks[tick] = ticks.contains(tick);
        for (const auto& [name, bytes] : files.asKeyValueRange()) {
            QFile out(ConvertedFiles::PathOf(m_folder, name));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
        CommandContext context{*m_host, m_prompts.value(), m_settings, m_folder};
        ViewHexCode(context);
    }

    QString m_folder;
    Settings m_settings{QStringLiteral("Kestrel")};
    std::optional<FakeHost> m_host;
    std::optional<ScriptedPrompts> m_prompts;

private slots:
    void init() {
        m_host.emplace().panels[PanelKey::kBootCodeVersion] = kVersion;
        m_prompts.emplace();
        for (const QString& name : ConvertedFiles::kAll)
            QFile::remove(ConvertedFiles::PathOf(m_folder, name));
        TestEnvironment::ClearSettings();
    }
    void cleanup() { modGeneral::ResumeWaiting(); }

    void viewLines() {
        const std::pair<QString, QString> cases[] = {
            {"08,00,00,83,16,03,13", "000008   1683   1303"},
            {"00,21,00,11,22,33,44", "002100   2211   4433"},
            {"00,20,00,0A,0B,0C,0D", "002000   0B0A   0D0C"},
            {"07,20,00", "002007"},
            {"00,20,00,0A,0B,0c", "002000   0B0A   0c"},  // an unpaired last byte stands alone
            {"F8,1F,00,00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F", kFullLine}};
        for (const auto& [line, view] : cases) QCOMPARE(modGeneral::strConvertViewLine(line), view);
    }

    void command_data() {
        QTest::addColumn<Ticks>("ticks");
        QTest::addColumn<Files>("files");
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<QString>("view");  // empty: no window shown
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("panelLog");
        const Files files{{ConvertedFiles::kFlash, "08,00,00,83,16,03,13\r\n10,00,00,ff,3f\n"},
                          {ConvertedFiles::kConfig, "07,20,00,72,3F"}};
        const QString flash("\r\nStart of flash program code\r\n");
        const QString config("\r\nStart of Config program code\r\n002007   3F72\r\n");
        const QString toFlash("Status=Converting flash to view...");
        const QStringList viewed{"Status=", "BootCodeVersion="};
        const QString nothing("Please first select a code section to view|Nothing selected|0|1");
        QTest::newRow("empty flash file")
            << Ticks{Tick::ViewFlash} << Files{{ConvertedFiles::kFlash, {}}} << MsgResult::Ok
            << flash << "" << QStringList{toFlash} + viewed;
        QTest::newRow("flash and config")
            << Ticks{Tick::ViewFlash, Tick::ViewConfig} << files << MsgResult::Ok
            << flash + "000008   1683   1303\r\n000010   3fff\r\n" + config << ""
            << QStringList{toFlash, "Status=Converting config to view..."} + viewed;
        QTest::newRow("EEPROM missing after flash: config never reached")
            << Ticks{Tick::ViewFlash, Tick::ViewEEPROM, Tick::ViewConfig} << files << MsgResult::Ok
            << ""
            << "Converted program EEPROM code file does not exist|EEPROM code file Error|1|0"
            << QStringList{toFlash, "Status="};
        for (const MsgResult answer : {MsgResult::Ok, MsgResult::Cancel})
            QTest::addRow("nothing ticked, answer %d", int(answer))
                << Ticks{} << files << answer << "" << nothing << QStringList{};
    }
    void command() {
        QFETCH(Ticks, ticks);
        QFETCH(Files, files);
        QFETCH(MsgResult, answer);
        QFETCH(QString, view);
        QFETCH(QString, message);
        QFETCH(QStringList, panelLog);
        m_prompts->answers = {answer};
        Run(ticks, files);

        QCOMPARE(m_host->shownViews, view.isEmpty() ? QStringList() : QStringList{view});
        QStringList shown;
        for (const auto& m : m_prompts->messages)
            shown << m.text + '|' + m.title + '|' + QString::number(int(m.icon)) + '|' +
                         QString::number(int(m.buttons));
        QCOMPARE(shown.join(u'\n'), message);
        QCOMPARE(m_host->panelLog, panelLog);
        QCOMPARE(m_host->PanelText(PanelKey::kBootCodeVersion), view.isEmpty() ? kVersion : "");
        QVERIFY(!m_host->busy);
        QCOMPARE(m_host->enableCalls, ticks.isEmpty() ? QList<FakeHost::Groups>() : kViewCalls);
        QCOMPARE(m_host->progressValue, 0);
        if (!view.isEmpty())
            QCOMPARE(QList<int>({m_host->progressMaximum, m_host->progressPeak}),
                     QList<int>(2, m_host->state.intLineCount));
    }

    void closingEndsAtOnce() {
        QTimer::singleShot(0, this, [] { modGeneral::StopWaiting(); });  // at the first yield
        Run({Tick::ViewFlash}, Files{{ConvertedFiles::kFlash, "08,00,00,83,16\r\n"}});
        QVERIFY(m_host->shownViews.isEmpty());
        QCOMPARE(m_host->enableCalls, QList<FakeHost::Groups>{kAllOff});
        QVERIFY(m_host->panelLog.isEmpty());
    }

    void windowShowsWholeLinesReadOnly() {
        QString text;
        for (int i = 0; i < 200; ++i) text += kFullLine + "\r\n";
        frmViewCode view(m_settings, text);
        auto* rtb = view.findChild<QPlainTextEdit*>(QStringLiteral("rtbViewCode"));
        QVERIFY(rtb);
        QCOMPARE(view.windowTitle(), QStringLiteral("Code View Window"));
        QVERIFY(rtb->isReadOnly());
        // Measured: fontconfig does not flag every monospaced family as fixed pitch.
        const QFontMetrics metrics(rtb->font());
        for (const QChar glyph : QStringLiteral("W 0F"))
            QCOMPARE(metrics.horizontalAdvance(glyph), metrics.horizontalAdvance(u'i'));

        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(rtb->verticalScrollBar()->isVisible());
        QCOMPARE(rtb->horizontalScrollBar()->maximum(), 0);
        rtb->setFocus();
        QTest::keyClick(rtb, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(rtb, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), text.replace("\r\n", "\n"));

        rtb->setPlainText(kFullLine + kFullLine);  // longer lines scroll rather than wrap
        QCOMPARE(rtb->document()->lineCount(), 1);
        QVERIFY(rtb->horizontalScrollBar()->maximum() > 0);
    }

    // Stored as top, left in twips; kept as it was when closed minimised.
    void windowPosition_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QPoint>("loaded");
        QTest::addColumn<bool>("minimised");
        QTest::newRow("stored") << QStringList{"1500", "3000"} << PixelsOf(3000, 1500) << false;
        QTest::newRow("negative") << QStringList{"-300", "-150"} << PixelsOf(-150, -300) << false;
        QTest::newRow("garbage") << QStringList{"abc", "99999"} << QPoint(0, 0) << false;
        QTest::newRow("minimised") << QStringList{"150", "300"} << PixelsOf(300, 150) << true;
    }
    void windowPosition() {
        QFETCH(QStringList, stored);
        QFETCH(QPoint, loaded);
        QFETCH(bool, minimised);
        const QString keys[] = {SettingKey::kTop, SettingKey::kLeft};
        for (int i : {0, 1}) m_settings.Write(SettingKey::kViewForm, keys[i], stored[i]);
        {
            frmViewCode view(m_settings, QString());
            QCOMPARE(view.pos(), loaded);
            QTimer::singleShot(0, &view, [&] {
                if (minimised) view.showMinimized();
                view.move(PixelsOf(600, 900));
                view.close();
            });
            view.exec();
        }
        const QStringList moved{"900", "600"};
        for (int i : {0, 1})
            QCOMPARE(m_settings.Read(SettingKey::kViewForm, keys[i], {}),
                     minimised ? stored[i] : moved[i]);
    }
};

KESTREL_TEST_MAIN(tst_View)
#include "tst_view.moc"
