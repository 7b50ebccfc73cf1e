#include "connectcommand.h"

#include "clshexcomm.h"
#include "commandcontext.h"
#include "commandhost.h"
#include "devicetexts.h"
#include "prompts.h"
#include "waits.h"

namespace {
constexpr float kVersionInterval = 0.2F;
constexpr qint16 kVersionRetries = 3;
constexpr qint16 kVersionBytes = 2;
constexpr float kSettleSeconds = 1.0F;
}  // namespace

void ConnectToPIC(CommandContext& context) {
    CommandHost& host = context.host;
    MainState& state = host.State();
    clsHexComm& link = *state.objHexComm;
    host.SetPanelText(PanelKey::kStatus, DeviceText::kConnecting);
    // A port that cannot be opened is reported by the link and fails the request below.
    link.OpenComPort(state.intPortNumber);
    link.SetTimeOutInterval(kVersionInterval);
    link.SetTimeOutRetries(kVersionRetries);
    QByteArray bytData(4, '\0');
    const bool read = link.blnReadBootVersion(kVersionBytes, bytData);
    if (context.waits.Stopped()) return;
    if (!read) {
        host.SetPanelText(PanelKey::kStatus, QString());
        return;
    }
    host.SetPanelText(PanelKey::kBootCodeVersion,
                      DeviceText::kVersionFormat.arg(static_cast<quint8>(bytData.at(1)))
                          .arg(static_cast<quint8>(bytData.at(0))));
    if (!context.waits.Delay(kSettleSeconds)) return;
    host.SetPanelText(PanelKey::kStatus, QString());
    host.EnableCommands(false, true, true, false, true, false, true);
}

void RunPIC(CommandContext& context) {
    CommandHost& host = context.host;
    if (host.State().objHexComm->blnResetPIC()) {
        host.EnableCommands(false, true, true, false, false, false, true);
        return;
    }
    if (context.waits.Stopped()) return;
    context.prompts.MsgBox(DeviceText::kUnableToReset, kProgramTitle, MsgIcon::Critical);
}
