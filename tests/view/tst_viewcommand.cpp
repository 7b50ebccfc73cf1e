#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <memory>

#include "commandcontext.h"
#include "convertedfiles.h"
#include "delay.h"
#include "fakehost.h"
#include "scriptedprompts.h"
#include "settings.h"
#include "testmain.h"
#include "viewcommand.h"

using Files = QMap<QString, QByteArray>;
using Ticks = QList<Tick>;
Q_DECLARE_METATYPE(Files)
Q_DECLARE_METATYPE(Ticks)
Q_DECLARE_METATYPE(MsgResult)

namespace {
const FakeHost::Groups kAllOff{false, false, false, false, false, false, false};
const FakeHost::Groups kAfterView{false, true, true, true, false, false, true};
const QString kVersion = QStringLiteral("v1.2");

// Stops every wait at a chosen point, as closing the main window does.
class StoppingHost : public FakeHost {
public:
    enum class StopAt { Nowhere, Counting, Converting, Pausing };

    void SetPanelText(const QString& key, const QString& text) override {
        FakeHost::SetPanelText(key, text);
        if (stopAt == StopAt::Converting && !text.isEmpty()) modGeneral::StopWaiting();
    }
    void SetBusyPointer(bool isBusy) override {
        FakeHost::SetBusyPointer(isBusy);
        if (stopAt == StopAt::Pausing && !isBusy) modGeneral::StopWaiting();
    }

    StopAt stopAt = StopAt::Nowhere;
};
}  // namespace
Q_DECLARE_METATYPE(StoppingHost::StopAt)

class tst_ViewCommand : public QObject {
    Q_OBJECT
public:
    explicit tst_ViewCommand(TestEnvironment& environment)
        : m_folder(environment.ProgramFolder()) {}

private slots:
    void init();
    void cleanup();
    void completeView_data();
    void completeView();
    void missingFileEndsAtOnce_data();
    void missingFileEndsAtOnce();
    void nothingTicked_data();
    void nothingTicked();
    void closingEndsAtOnce_data();
    void closingEndsAtOnce();

private:
    void Run(const Ticks& ticks, const Files& files);

    QString m_folder;
    Settings m_settings{QStringLiteral("Kestrel")};
    std::unique_ptr<StoppingHost> m_host;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_ViewCommand::init() {
    m_host = std::make_unique<StoppingHost>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_host->panels[PanelKey::kBootCodeVersion] = kVersion;
    for (const QString& name : ConvertedFiles::kAll)
        QFile::remove(ConvertedFiles::PathOf(m_folder, name));
}

void tst_ViewCommand::cleanup() {
    modGeneral::ResumeWaiting();
}

void tst_ViewCommand::Run(const Ticks& ticks, const Files& files) {
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

void tst_ViewCommand::completeView_data() {
    QTest::addColumn<Ticks>("ticks");
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("panelLog");
    QTest::addColumn<int>("lastFileLines");

    const QByteArray flash = "08,00,00,83,16,03,13\r\n10,00,00,ff,3f\r\n";
    const QByteArray config = "07,20,00,72,3F\r\n";
    QTest::newRow("empty flash file")
        << Ticks{Tick::ViewFlash} << Files{{ConvertedFiles::kFlash, {}}}
        << "\r\nStart of flash program code\r\n"
        << QStringList{"Status=Converting flash to view...", "Status=", "BootCodeVersion="} << 0;
    QTest::newRow("flash and config, EEPROM not ticked")
        << Ticks{Tick::ViewFlash, Tick::ViewConfig}
        << Files{{ConvertedFiles::kFlash, flash},
                 {ConvertedFiles::kEEPROM, "00,21,00,11,22\r\n"},
                 {ConvertedFiles::kConfig, config}}
        << "\r\nStart of flash program code\r\n000008   1683   1303\r\n000010   3fff\r\n"
           "\r\nStart of Config program code\r\n002007   3F72\r\n"
        << QStringList{"Status=Converting flash to view...", "Status=Converting config to view...",
                       "Status=", "BootCodeVersion="}
        << 1;
    QTest::newRow("all four in table order, odd user ID line, LF and lone CR endings")
        << Ticks{Tick::ViewConfig, Tick::ViewUserID, Tick::ViewEEPROM, Tick::ViewFlash}
        << Files{{ConvertedFiles::kFlash, "00,00,00,8A,01\n"},
                 {ConvertedFiles::kEEPROM, "00,21,00,11,22,33,44\r10,21,00,55,66"},
                 {ConvertedFiles::kUserID, "00,20,00,0A,0B,0C\r\n"},
                 {ConvertedFiles::kConfig, config}}
        << "\r\nStart of flash program code\r\n000000   018A\r\n"
           "\r\nStart of EEPROM program code\r\n002100   2211   4433\r\n002110   6655\r\n"
           "\r\nStart of UserID program code\r\n002000   0B0A   0C\r\n"
           "\r\nStart of Config program code\r\n002007   3F72\r\n"
        << QStringList{"Status=Converting flash to view...",
                       "Status=Converting EEPROM to view...",
                       "Status=Converting user ID to view...",
                       "Status=Converting config to view...",
                       "Status=",
                       "BootCodeVersion="}
        << 1;
}

void tst_ViewCommand::completeView() {
    QFETCH(Ticks, ticks);
    QFETCH(Files, files);
    QFETCH(QString, text);
    QFETCH(QStringList, panelLog);
    QFETCH(int, lastFileLines);

    Run(ticks, files);

    QCOMPARE(m_host->shownViews, QStringList{text});
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(m_host->enableCalls, (QList<FakeHost::Groups>{kAllOff, kAfterView}));
    QCOMPARE(m_host->panelLog, panelLog);
    QCOMPARE(m_host->state.intLineCount, lastFileLines);
    QCOMPARE(m_host->progressMaximum, lastFileLines);
    QCOMPARE(m_host->progressPeak, lastFileLines);
    QCOMPARE(m_host->progressValue, 0);
    QCOMPARE(m_host->busyLog.count(true), m_host->busyLog.count(false));
    QVERIFY(!m_host->busy);
}

void tst_ViewCommand::missingFileEndsAtOnce_data() {
    QTest::addColumn<Ticks>("ticks");
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("panelLog");

    const QStringList none{"Status="};
    QTest::newRow("flash") << Ticks{Tick::ViewFlash} << Files{}
                           << "Converted program flash code file does not exist"
                           << "Flash code file Error" << none;
    QTest::newRow("EEPROM") << Ticks{Tick::ViewEEPROM} << Files{}
                            << "Converted program EEPROM code file does not exist"
                            << "EEPROM code file Error" << none;
    QTest::newRow("user ID") << Ticks{Tick::ViewUserID} << Files{}
                             << "Converted program user ID file does not exist"
                             << "User ID file Error" << none;
    QTest::newRow("config") << Ticks{Tick::ViewConfig} << Files{}
                            << "Converted program config code file does not exist"
                            << "Config code file Error" << none;
    QTest::newRow("EEPROM between flash and config: config never converted")
        << Ticks{Tick::ViewFlash, Tick::ViewEEPROM, Tick::ViewConfig}
        << Files{{ConvertedFiles::kFlash, "08,00,00,83,16\r\n"},
                 {ConvertedFiles::kConfig, "07,20,00,72,3F\r\n"}}
        << "Converted program EEPROM code file does not exist"
        << "EEPROM code file Error" << QStringList{"Status=Converting flash to view...", "Status="};
}

void tst_ViewCommand::missingFileEndsAtOnce() {
    QFETCH(Ticks, ticks);
    QFETCH(Files, files);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(QStringList, panelLog);

    Run(ticks, files);

    QCOMPARE(m_prompts->messages.size(), 1);
    const ScriptedPrompts::Message& shown = m_prompts->messages.first();
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.icon, MsgIcon::Critical);
    QCOMPARE(shown.buttons, MsgButtons::Ok);
    QVERIFY(m_host->shownViews.isEmpty());
    QCOMPARE(m_host->enableCalls, (QList<FakeHost::Groups>{kAllOff, kAfterView}));
    QCOMPARE(m_host->panelLog, panelLog);
    QCOMPARE(m_host->PanelText(PanelKey::kBootCodeVersion), kVersion);
    QCOMPARE(m_host->progressValue, 0);
}

void tst_ViewCommand::nothingTicked_data() {
    QTest::addColumn<MsgResult>("answer");
    QTest::newRow("OK") << MsgResult::Ok;
    QTest::newRow("Cancel") << MsgResult::Cancel;
}

void tst_ViewCommand::nothingTicked() {
    QFETCH(MsgResult, answer);
    m_prompts->answers = {answer};
    m_host->state.intLineCount = 7;

    Run({}, Files{{ConvertedFiles::kFlash, "08,00,00,83,16\r\n"}});

    QCOMPARE(m_prompts->messages.size(), 1);
    const ScriptedPrompts::Message& shown = m_prompts->messages.first();
    QCOMPARE(shown.text, QStringLiteral("Please first select a code section to view"));
    QCOMPARE(shown.title, QStringLiteral("Nothing selected"));
    QCOMPARE(shown.icon, MsgIcon::None);
    QCOMPARE(shown.buttons, MsgButtons::OkCancel);
    QVERIFY(m_host->enableCalls.isEmpty());
    QVERIFY(m_host->panelLog.isEmpty());
    QVERIFY(m_host->busyLog.isEmpty());
    QVERIFY(m_host->shownViews.isEmpty());
    QCOMPARE(m_host->state.intLineCount, 7);
}

void tst_ViewCommand::closingEndsAtOnce_data() {
    QTest::addColumn<StoppingHost::StopAt>("stopAt");
    QTest::addColumn<QStringList>("panelLog");

    const QStringList flashStarted{"Status=Converting flash to view..."};
    QTest::newRow("while counting") << StoppingHost::StopAt::Counting << QStringList{};
    QTest::newRow("while converting") << StoppingHost::StopAt::Converting << flashStarted;
    QTest::newRow("in the pause") << StoppingHost::StopAt::Pausing << flashStarted;
}

void tst_ViewCommand::closingEndsAtOnce() {
    QFETCH(StoppingHost::StopAt, stopAt);
    QFETCH(QStringList, panelLog);
    m_host->stopAt = stopAt;
    if (stopAt == StoppingHost::StopAt::Counting)
        QTimer::singleShot(0, this, [] { modGeneral::StopWaiting(); });

    Run({Tick::ViewFlash}, Files{{ConvertedFiles::kFlash, "08,00,00,83,16\r\n10,00,00,01,02\r\n"}});

    QVERIFY(modGeneral::WaitingStopped());
    QVERIFY(m_host->shownViews.isEmpty());
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(m_host->enableCalls, QList<FakeHost::Groups>{kAllOff});
    QCOMPARE(m_host->panelLog, panelLog);
    QCOMPARE(m_host->PanelText(PanelKey::kBootCodeVersion), kVersion);
    QVERIFY(!m_host->busy);
    if (stopAt == StoppingHost::StopAt::Converting) QCOMPARE(m_host->progressPeak, 1);
}

KESTREL_TEST_MAIN(tst_ViewCommand)
#include "tst_viewcommand.moc"
