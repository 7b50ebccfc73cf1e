#include "frmabout.h"

#include <QGridLayout>
#include <QLabel>

#include "desktopidentity.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    return label;
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString());
    setAccessibleName(QStringLiteral("About Kestrel"));

    QFont productFont(QStringLiteral("Courier New"), 20, QFont::Bold);
    productFont.setStyleHint(QFont::TypeWriter);
    QFont platformFont(QStringLiteral("Arial"));
    platformFont.setStyleHint(QFont::SansSerif);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(KestrelIcon().pixmap(48, 48));
    logo->setAccessibleName(QStringLiteral("Logo"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(logo, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(MakeLabel(this, "lblProductName", QStringLiteral("Kestrel"), productFont), 0,
                      1);
    layout->addWidget(MakeLabel(this, "lblHardwareBy",
                                QStringLiteral("Hardware: a PIC16F microcontroller running the "
                                               "serial bootloader firmware"),
                                font()),
                      1, 1);
    layout->addWidget(MakeLabel(this, "lblSoftwareBy",
                                QStringLiteral("Software: this host program, which imports Intel "
                                               "HEX files and programs the device"),
                                font()),
                      2, 1);
    layout->addWidget(
        MakeLabel(this, "lblPlatform",
                  QStringLiteral("For windows:  95/98/ME/2000 and XP Platform"), platformFont),
        3, 1);
}
