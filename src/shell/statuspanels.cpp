#include "statuspanels.h"

#include <QMouseEvent>
#include <QStatusBar>

#include "commandhost.h"
#include "twips.h"

namespace {

class PanelLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            onClick)
            onClick();
    }
};

struct PanelSpec {
    const QString& key;
    const char* toolTip;
    int widthTwips;
};

}  // namespace

StatusPanels::StatusPanels(QStatusBar* bar, double logicalDpi) : QObject(bar) {
    const PanelSpec specs[] = {{PanelKey::kStatus, "Current Status", 3300},
                               {PanelKey::kBootCodeVersion, "Boot Firmware Version", 500},
                               {PanelKey::kPort, "Selected Com Port", 700}};
    bar->setSizeGripEnabled(false);
    for (const PanelSpec& spec : specs) {
        auto* label = new PanelLabel(bar);
        label->setObjectName(spec.key);
        label->setToolTip(QString::fromLatin1(spec.toolTip));
        label->setAccessibleDescription(label->toolTip());
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setFixedWidth(Twips::ToPixels(spec.widthTwips, logicalDpi));
        const QString key = spec.key;
        label->onClick = [this, key] { emit PanelClick(key); };
        bar->addWidget(label);
        m_panels.insert(spec.key, label);
    }
}

void StatusPanels::SetText(const QString& key, const QString& text) {
    if (QLabel* label = m_panels.value(key)) label->setText(text);
}

QString StatusPanels::Text(const QString& key) const {
    const QLabel* label = m_panels.value(key);
    return label ? label->text() : QString();
}
