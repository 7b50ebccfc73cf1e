#include <QApplication>
#include <QFileInfo>

#include "composition.h"
#include "desktopidentity.h"
#include "folderclaim.h"
#include "programfolder.h"
#include "qtprompts.h"
#include "singleinstance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Settings live under the executable's own name, so a renamed copy keeps its own.
    app.setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    app.setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    ShowAsKestrel(app);

    // A second Kestrel on the same folder would program, and at exit delete, the first one's
    // converted code: it brings the first window forward instead.
    const QString programFolder = ProgramFolder::Resolve(QCoreApplication::applicationDirPath());
    SingleInstance instance(programFolder);
    QtPrompts prompts;
    if (const std::optional<int> status = ClaimProgramFolder(programFolder, instance, prompts))
        return *status;

    Composition parts(prompts, programFolder);
    frmMain& window = parts.window;
    QObject::connect(&instance, &SingleInstance::RaiseRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.show();
    return app.exec();
}
