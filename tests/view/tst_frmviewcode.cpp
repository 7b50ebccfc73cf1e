#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "frmviewcode.h"
#include "settings.h"
#include "testmain.h"
#include "twips.h"

namespace {
const QString kFullLine =
    QStringLiteral("001FF8   0100   0302   0504   0706   0908   0B0A   0D0C   0F0E");

QString Lines(const QString& line, int count) {
    QString text;
    for (int i = 0; i < count; ++i) text += line + QStringLiteral("\r\n");
    return text;
}

QPlainTextEdit* ViewOf(frmViewCode& view) {
    return view.findChild<QPlainTextEdit*>(QStringLiteral("rtbViewCode"));
}

QString Stored(Settings& settings, const QString& key) {
    return settings.Read(SettingKey::kViewForm, key, QStringLiteral("unset"));
}

QPoint PixelsOf(int leftTwips, int topTwips) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return {Twips::ToPixels(leftTwips, screen->logicalDotsPerInchX()),
            Twips::ToPixels(topTwips, screen->logicalDotsPerInchY())};
}
}  // namespace

class tst_FrmViewCode : public QObject {
    Q_OBJECT
public:
    explicit tst_FrmViewCode(TestEnvironment&) {}

private slots:
    void init() { TestEnvironment::ClearSettings(); }
    void showsTextReadOnlyAndCopyable();
    void fullLineFitsWithoutWrapping_data();
    void fullLineFitsWithoutWrapping();
    void restoresPosition_data();
    void restoresPosition();
    void storesPositionOnClose();
    void keepsPositionWhenClosedMinimised();

private:
    Settings m_settings{QStringLiteral("Kestrel")};
};

void tst_FrmViewCode::showsTextReadOnlyAndCopyable() {
    const QString text =
        QStringLiteral("\r\nStart of flash program code\r\n") + kFullLine + QStringLiteral("\r\n");
    frmViewCode view(m_settings, text);
    QPlainTextEdit* rtb = ViewOf(view);
    QVERIFY(rtb);
    QCOMPARE(view.windowTitle(), QStringLiteral("Code View Window"));
    QVERIFY(rtb->isReadOnly());
    // Measured, since fontconfig does not flag every monospaced family as fixed pitch.
    const QFontMetrics metrics(rtb->font());
    for (const QChar glyph : QStringLiteral("W 0F"))
        QCOMPARE(metrics.horizontalAdvance(glyph), metrics.horizontalAdvance(u'i'));

    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    rtb->setFocus();
    QTest::keyClick(rtb, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(rtb, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString(text).replace("\r\n", "\n"));
}

void tst_FrmViewCode::fullLineFitsWithoutWrapping_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("scrollsSideways");
    // Many lines, so the vertical scroll bar takes its share of the width.
    QTest::newRow("16-byte lines") << Lines(kFullLine, 200) << false;
    QTest::newRow("longer line") << Lines(kFullLine + kFullLine, 200) << true;
}

void tst_FrmViewCode::fullLineFitsWithoutWrapping() {
    QFETCH(QString, text);
    QFETCH(bool, scrollsSideways);
    frmViewCode view(m_settings, text);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QPlainTextEdit* rtb = ViewOf(view);
    QVERIFY(rtb->verticalScrollBar()->isVisible());
    QCOMPARE(rtb->document()->lineCount(), 201);
    QCOMPARE(rtb->horizontalScrollBar()->maximum() > 0, scrollsSideways);
}

void tst_FrmViewCode::restoresPosition_data() {
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("stored twips") << "1500"
                                  << "3000" << PixelsOf(3000, 1500);
    QTest::newRow("negative") << "-300"
                              << "-150" << PixelsOf(-150, -300);
    QTest::newRow("garbage and out of range") << "abc"
                                              << "99999" << QPoint(0, 0);
}

void tst_FrmViewCode::restoresPosition() {
    QFETCH(QString, top);
    QFETCH(QString, left);
    QFETCH(QPoint, expected);
    m_settings.Write(SettingKey::kViewForm, SettingKey::kTop, top);
    m_settings.Write(SettingKey::kViewForm, SettingKey::kLeft, left);
    frmViewCode view(m_settings, QString());
    QCOMPARE(view.pos(), expected);
}

void tst_FrmViewCode::storesPositionOnClose() {
    const QPoint place = PixelsOf(600, 900);
    {
        frmViewCode view(m_settings, QStringLiteral("\r\n"));
        QTimer::singleShot(0, &view, [&] {
            view.move(place);
            view.close();
        });
        view.exec();
    }
    QCOMPARE(Stored(m_settings, SettingKey::kTop), QStringLiteral("900"));
    QCOMPARE(Stored(m_settings, SettingKey::kLeft), QStringLiteral("600"));

    frmViewCode reopened(m_settings, QString());
    QCOMPARE(reopened.pos(), place);
}

void tst_FrmViewCode::keepsPositionWhenClosedMinimised() {
    m_settings.Write(SettingKey::kViewForm, SettingKey::kTop, QStringLiteral("150"));
    m_settings.Write(SettingKey::kViewForm, SettingKey::kLeft, QStringLiteral("300"));
    {
        frmViewCode view(m_settings, QString());
        view.showMinimized();
        view.move(PixelsOf(3000, 3000));
        QVERIFY(view.isMinimized());
    }
    QCOMPARE(Stored(m_settings, SettingKey::kTop), QStringLiteral("150"));
    QCOMPARE(Stored(m_settings, SettingKey::kLeft), QStringLiteral("300"));
}

KESTREL_TEST_MAIN(tst_FrmViewCode)
#include "tst_frmviewcode.moc"
