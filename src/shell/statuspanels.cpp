#include "statuspanels.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "commandhost.h"
#include "twips.h"

namespace {

// A panel at its stated width, wider when its text needs it. The port panel can be pressed:
// by the mouse, by Enter or Space once Tab has brought it focus, and through accessibility.
class PanelLabel : public QLabel {
public:
    // Pressable from the start: accessibility may ask what the panel is before it is shown.
    PanelLabel(QWidget* parent, int width, bool pressable) : QLabel(parent), m_width(width) {
        if (pressable) setFocusPolicy(Qt::StrongFocus);
    }
    std::function<void()> onClick;

    bool Pressable() const { return focusPolicy() != Qt::NoFocus; }
    QSize sizeHint() const override { return QLabel::sizeHint().expandedTo(QSize(m_width, 0)); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            onClick)
            onClick();
    }
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        if (Pressable() && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space))
            onClick();
        else
            QLabel::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        // As buttons do: the frame shows once the keyboard has moved focus.
        if (!(option.state & QStyle::State_HasFocus) ||
            !(option.state & QStyle::State_KeyboardFocusChange))
            return;
        option.rect = contentsRect().adjusted(1, 1, -1, -1);
        QStylePainter(this).drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }

private:
    const int m_width;
};

// Screen readers hear the port panel as a button named by its text.
class PanelAccessible : public QAccessibleWidget {
public:
    explicit PanelAccessible(PanelLabel* label)
        : QAccessibleWidget(label, QAccessible::Button), m_label(label) {}

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? m_label->text() : QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString& name) override {
        if (name == pressAction())
            m_label->onClick();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    PanelLabel* m_label;
};

QAccessibleInterface* PanelAccessibleFactory(const QString&, QObject* object) {
    auto* label = dynamic_cast<PanelLabel*>(object);
    return label && label->Pressable() ? new PanelAccessible(label) : nullptr;
}

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
    static const bool factoryInstalled =
        (QAccessible::installFactory(PanelAccessibleFactory), true);
    Q_UNUSED(factoryInstalled);
    bar->setSizeGripEnabled(false);
    for (const PanelSpec& spec : specs) {
        const int width = Twips::ToPixels(spec.widthTwips, logicalDpi);
        auto* label = new PanelLabel(bar, width, spec.key == PanelKey::kPort);
        label->setObjectName(spec.key);
        label->setToolTip(QString::fromLatin1(spec.toolTip));
        label->setAccessibleDescription(label->toolTip());
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const QString key = spec.key;
        label->onClick = [this, key] { emit PanelClick(key); };
        // The stated widths and the bar's spacing do not always fit the window: Status gives way.
        const bool status = key == PanelKey::kStatus;
        label->setSizePolicy(status ? QSizePolicy::Ignored : QSizePolicy::Fixed,
                             QSizePolicy::Preferred);
        if (status) label->setMaximumWidth(width);
        bar->addWidget(label, status ? 1 : 0);
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
