#include "frmviewcode.h"

frmViewCode::frmViewCode(Settings&, const QString&, QWidget* parent) : QDialog(parent) {}
