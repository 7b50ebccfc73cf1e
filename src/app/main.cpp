#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <memory>

#include "clearcommand.h"
#include "clshexcomm.h"
#include "connectcommand.h"
#include "eventloopwaits.h"
#include "frmmain.h"
#include "importcommand.h"
#include "programcommand.h"
#include "programfolder.h"
#include "qserialportadapter.h"
#include "qtprompts.h"
#include "settings.h"
#include "singleinstance.h"
#include "viewcommand.h"

// The one place where the parts are made and handed what they need.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Settings live under the executable's own name, so a renamed copy keeps its own.
    app.setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    app.setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    Q_INIT_RESOURCE(icons);
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/kestrel.svg")));
    // Lets the desktop match the window to kestrel.desktop and its icon.
    app.setDesktopFileName(QStringLiteral("kestrel"));

    // A second Kestrel on the same folder would program, and at exit delete, the first one's
    // converted code: it brings the first window forward instead.
    const QString programFolder = ProgramFolder::Resolve();
    SingleInstance instance(programFolder);
    if (!instance.Acquire()) return 0;

    Settings settings(QCoreApplication::applicationName());
    QtPrompts prompts;
    EventLoopWaits waits;
    auto link =
        std::make_unique<clsHexComm>(std::make_unique<QSerialPortAdapter>(), prompts, waits);
    const CommandSet commands{ImportHexFile, ClearImportedCode, ViewHexCode,
                              ConnectToPIC,  ProgramPIC,        RunPIC};
    frmMain window(settings, prompts, waits, std::move(link), programFolder, commands);
    QObject::connect(&instance, &SingleInstance::RaiseRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.show();
    return app.exec();
}
