#include "composition.h"

#include <QCoreApplication>
#include <memory>

#include "clearcommand.h"
#include "clshexcomm.h"
#include "connectcommand.h"
#include "importcommand.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "viewcommand.h"

namespace {
const CommandSet kCommands{ImportHexFile, ClearImportedCode, ViewHexCode,
                           ConnectToPIC,  ProgramPIC,        RunPIC};
}

Composition::Composition(Prompts& prompts, const QString& programFolder)
    : settings(QCoreApplication::applicationName()),
      window(settings, prompts, waits,
             std::make_unique<clsHexComm>(std::make_unique<QSerialPortAdapter>(), prompts, waits),
             programFolder, kCommands) {}
