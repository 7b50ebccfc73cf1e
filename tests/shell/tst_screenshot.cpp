#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

#include "barewindow.h"
#include "testmain.h"

// The real window on an X display: a picture of it for people, and a check that the status
// panels sit side by side with room for their whole text.
class tst_Screenshot : public QObject {
    Q_OBJECT
public:
    explicit tst_Screenshot(TestEnvironment&) {}

private slots:
    void panelsFitAndPicture();

private:
};

void tst_Screenshot::panelsFitAndPicture() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display: scripts/test runs this test under xvfb-run");
    BareWindow bare;
    frmMain& window = bare.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QStringList keys = {"Status", "BootCodeVersion", "Port"};
    const QStringList texts = {"Converting EEPROM to view...", "v12.34", "Com 4"};
    for (int i = 0; i < keys.size(); ++i) window.SetPanelText(keys[i], texts[i]);
    window.SetProgressValue(40);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    QList<QRect> placed;
    for (int i = 0; i < keys.size(); ++i) {
        const auto* label = window.findChild<QLabel*>(keys[i]);
        const QRect area = label->geometry();
        const QByteArray where = keys[i].toLatin1() + " at x " + QByteArray::number(area.x());
        QVERIFY2(window.statusBar()->rect().contains(area), where.constData());
        for (const QRect& other : placed) QVERIFY2(!area.intersects(other), where.constData());
        placed.append(area);
        // A framed label indents its text by half an x.
        const QFontMetrics metrics = label->fontMetrics();
        const int room = label->contentsRect().width() - metrics.horizontalAdvance('x') / 2;
        QVERIFY2(room >= metrics.horizontalAdvance(texts[i]), where.constData());
    }
    const QString path = qEnvironmentVariable("KESTREL_SCREENSHOT", QStringLiteral("frmMain.png"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(window.grab().save(path));
}

int main(int argc, char** argv) {
    TestEnvironment environment;
    // An X display where there is one, else offscreen, where the test skips.
    qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kestrel"));
    tst_Screenshot test(environment);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screenshot.moc"
