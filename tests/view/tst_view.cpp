#include <QClipboard>
#include <QFile>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>

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

namespace {
const FakeHost::Groups kAllOff{};
const FakeHost::Groups kAfterView{false, true, true, true, false, false, true};
const QString kVersion = QStringLiteral("v1.2");
const QString kFullLine =
    QStringLiteral("001FF8   0100   0302   0504   0706   0908   0B0A   0D0C   0F0E");

QString Described(const ScriptedPrompts& prompts) {
    QStringList shown;
    for (const auto& m : prompts.messages)
        shown << QStringLiteral("%1|%2|%3|%4")
                     .arg(m.text, m.title)
                     .arg(int(m.icon))
                     .arg(int(m.buttons));
    return shown.join(u'\n');
}

QPoint PixelsOf(int leftTwips, int topTwips) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return {Twips::ToPixels(leftTwips, screen->logicalDotsPerInchX()),
            Twips::ToPixels(topTwips, screen->logicalDotsPerInchY())};
}
}  // namespace
Q_DECLARE_METATYPE(Files)
Q_DECLARE_METATYPE(Ticks)
Q_DECLARE_METATYPE(MsgResult)

class tst_View : public QObject {
    Q_OBJECT
public:
    explicit tst_View(TestEnvironment& environment) : m_folder(environment.ProgramFolder()) {}

private slots:
    void init();
    void cleanup() { modGeneral::ResumeWaiting(); }
    void strConvertViewLine_data();
    void strConvertViewLine();
    void command_data();
    void command();
    void closingEndsAtOnce();
    void windowShowsWholeLinesReadOnly();
    void windowPosition_data();
    void windowPosition();

private:
    void Run(const Ticks& ticks, const Files& files);

    QString m_folder;
    Settings m_settings{QStringLiteral("Kestrel")};
    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_View::init() {
    m_host = std::make_unique<FakeHost>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_host->panels[PanelKey::kBootCodeVersion] = kVersion;
    for (const QString& name : ConvertedFiles::kAll)
        QFile::remove(ConvertedFiles::PathOf(m_folder, name));
    TestEnvironment::ClearSettings();
}

void tst_View::Run(const Ticks& ticks, const Files& files) {
    for (auto tick = m_host->ticks.begin(); tick != m_host->ticks.end(); ++tick)
        tick.value() = ticks.contains(tick.key());
    for (auto file = files.begin(); file != files.end(); ++file) {
        QFile out(ConvertedFiles::PathOf(m_folder, file.key()));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file.value());
    }
    CommandContext context{*m_host, *m_prompts, m_settings, m_folder};
    ViewHexCode(context);
}

void tst_View::strConvertViewLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("flash") << "08,00,00,83,16,03,13"
                           << "000008   1683   1303";
    QTest::newRow("EEPROM") << "00,21,00,11,22,33,44"
                            << "002100   2211   4433";
    QTest::newRow("user ID") << "00,20,00,0A,0B,0C,0D"
                             << "002000   0B0A   0D0C";
    QTest::newRow("address only") << "07,20,00"
                                  << "002007";
    QTest::newRow("odd: last byte alone") << "00,20,00,0A,0B,0c"
                                          << "002000   0B0A   0c";
    QTest::newRow("16 bytes") << "F8,1F,00,00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F"
                              << kFullLine;
}

void tst_View::strConvertViewLine() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(modGeneral::strConvertViewLine(line), expected);
}

void tst_View::command_data() {
    QTest::addColumn<Ticks>("ticks");
    QTest::addColumn<Files>("files");
    QTest::addColumn<MsgResult>("answer");
    QTest::addColumn<QStringList>("views");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("panelLog");

    const Files all{{ConvertedFiles::kFlash, "08,00,00,83,16,03,13\r\n10,00,00,ff,3f\n"},
                    {ConvertedFiles::kEEPROM, "00,21,00,11,22\r\n"},
                    {ConvertedFiles::kUserID, "00,20,00,0A\r\n"},
                    {ConvertedFiles::kConfig, "07,20,00,72,3F"}};
    const QString flashHeader("\r\nStart of flash program code\r\n");
    const QString flash = flashHeader + "000008   1683   1303\r\n000010   3fff\r\n";
    const QString config("\r\nStart of Config program code\r\n002007   3F72\r\n");
    const QString toFlash("Status=Converting flash to view...");
    const QString toConfig("Status=Converting config to view...");
    const QStringList viewed{"Status=", "BootCodeVersion="};
    const QString nothing("Please first select a code section to view|Nothing selected|0|1");

    QTest::newRow("empty flash file")
        << Ticks{Tick::ViewFlash} << Files{{ConvertedFiles::kFlash, {}}} << MsgResult::Ok
        << QStringList{flashHeader} << "" << QStringList{toFlash} + viewed;
    QTest::newRow("flash and config")
        << Ticks{Tick::ViewFlash, Tick::ViewConfig} << all << MsgResult::Ok
        << QStringList{flash + config} << "" << QStringList{toFlash, toConfig} + viewed;
    QTest::newRow("EEPROM missing after flash: config never reached")
        << Ticks{Tick::ViewFlash, Tick::ViewEEPROM, Tick::ViewConfig}
        << Files{{ConvertedFiles::kFlash, all[ConvertedFiles::kFlash]},
                 {ConvertedFiles::kConfig, all[ConvertedFiles::kConfig]}}
        << MsgResult::Ok << QStringList{}
        << "Converted program EEPROM code file does not exist|EEPROM code file Error|1|0"
        << QStringList{toFlash, "Status="};
    QTest::newRow("nothing ticked, OK")
        << Ticks{} << all << MsgResult::Ok << QStringList{} << nothing << QStringList{};
    QTest::newRow("nothing ticked, Cancel")
        << Ticks{} << all << MsgResult::Cancel << QStringList{} << nothing << QStringList{};
}

void tst_View::command() {
    QFETCH(Ticks, ticks);
    QFETCH(Files, files);
    QFETCH(MsgResult, answer);
    QFETCH(QStringList, views);
    QFETCH(QString, message);
    QFETCH(QStringList, panelLog);
    m_prompts->answers = {answer};

    Run(ticks, files);

    QCOMPARE(m_host->shownViews, views);
    QCOMPARE(Described(*m_prompts), message);
    QCOMPARE(m_host->panelLog, panelLog);
    QCOMPARE(m_host->PanelText(PanelKey::kBootCodeVersion), views.isEmpty() ? kVersion : "");
    QVERIFY(!m_host->busy);
    if (ticks.isEmpty()) {
        QVERIFY(m_host->enableCalls.isEmpty());
        return;
    }
    QCOMPARE(m_host->enableCalls, (QList<FakeHost::Groups>{kAllOff, kAfterView}));
    QCOMPARE(m_host->progressValue, 0);
    if (views.isEmpty()) return;
    QCOMPARE(m_host->progressMaximum, int(m_host->state.intLineCount));
    QCOMPARE(m_host->progressPeak, m_host->progressMaximum);
}

void tst_View::closingEndsAtOnce() {
    QTimer::singleShot(0, this, [] { modGeneral::StopWaiting(); });  // at the first yield

    Run({Tick::ViewFlash}, Files{{ConvertedFiles::kFlash, "08,00,00,83,16\r\n"}});

    QVERIFY(m_host->shownViews.isEmpty());
    QCOMPARE(m_host->enableCalls, QList<FakeHost::Groups>{kAllOff});
    QVERIFY(m_host->panelLog.isEmpty());
}

void tst_View::windowShowsWholeLinesReadOnly() {
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

void tst_View::windowPosition_data() {
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QPoint>("loaded");
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<QString>("storedTop");
    QTest::addColumn<QString>("storedLeft");
    QTest::newRow("stored") << "1500"
                            << "3000" << PixelsOf(3000, 1500) << false << "900"
                            << "600";
    QTest::newRow("negative") << "-300"
                              << "-150" << PixelsOf(-150, -300) << false << "900"
                              << "600";
    QTest::newRow("garbage") << "abc"
                             << "99999" << QPoint(0, 0) << false << "900"
                             << "600";
    QTest::newRow("closed minimised") << "150"
                                      << "300" << PixelsOf(300, 150) << true << "150"
                                      << "300";
}

void tst_View::windowPosition() {
    QFETCH(QString, top);
    QFETCH(QString, left);
    QFETCH(QPoint, loaded);
    QFETCH(bool, minimised);
    QFETCH(QString, storedTop);
    QFETCH(QString, storedLeft);
    m_settings.Write(SettingKey::kViewForm, SettingKey::kTop, top);
    m_settings.Write(SettingKey::kViewForm, SettingKey::kLeft, left);
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
    QCOMPARE(m_settings.Read(SettingKey::kViewForm, SettingKey::kTop, {}), storedTop);
    QCOMPARE(m_settings.Read(SettingKey::kViewForm, SettingKey::kLeft, {}), storedLeft);
}

KESTREL_TEST_MAIN(tst_View)
#include "tst_view.moc"
