#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include "frmmain.h"
#include "programfolder.h"
#include "qtprompts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Settings live under the executable's own name, so a renamed copy keeps its own.
    app.setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    app.setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    Q_INIT_RESOURCE(icons);
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/kestrel.svg")));
    // Lets the desktop match the window to kestrel.desktop and its icon.
    app.setDesktopFileName(QStringLiteral("kestrel"));

    QtPrompts prompts;
    frmMain window(prompts, ProgramFolder::Resolve());
    prompts.SetParent(&window);
    window.show();
    return app.exec();
}
