#include "frmviewcode.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "settings.h"
#include "windowplacement.h"

namespace {
const QString kCaption = QStringLiteral("Code View Window");
// The widest view line: a six-digit address and eight words, three blanks apart.
constexpr int kLineColumns = 6 + 8 * (3 + 4);
constexpr int kSpareColumns = 2;
constexpr int kVisibleLines = 24;

}  // namespace

frmViewCode::frmViewCode(Settings& settings, const QString& text, QWidget* parent)
    : QDialog(parent), m_settings(settings), rtbViewCode(new QPlainTextEdit(this)) {
    setWindowTitle(kCaption);
    rtbViewCode->setObjectName(QStringLiteral("rtbViewCode"));
    rtbViewCode->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    rtbViewCode->setLineWrapMode(QPlainTextEdit::NoWrap);
    rtbViewCode->setReadOnly(true);
    rtbViewCode->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rtbViewCode->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    rtbViewCode->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    rtbViewCode->setPlainText(text);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rtbViewCode);
    SizeForFullLine();
    Form_Load();
}

frmViewCode::~frmViewCode() {
    Form_Unload();
}

// Wide enough for the widest view line next to a vertical scroll bar, so nothing wraps or
// needs scrolling sideways.
void frmViewCode::SizeForFullLine() {
    const QFontMetrics metrics(rtbViewCode->font());
    const int margins = 2 * (rtbViewCode->frameWidth() +
                             static_cast<int>(rtbViewCode->document()->documentMargin()));
    const int width = metrics.horizontalAdvance(QString(kLineColumns + kSpareColumns, u'0')) +
                      margins + rtbViewCode->verticalScrollBar()->sizeHint().width();
    const int height = metrics.lineSpacing() * kVisibleLines + margins +
                       rtbViewCode->horizontalScrollBar()->sizeHint().height();
    resize(width, height);
}

void frmViewCode::Form_Load() {
    WindowPlacement::Restore(*this, m_settings, SettingKey::kViewForm);
}

void frmViewCode::Form_Unload() {
    WindowPlacement::Save(*this, m_settings, SettingKey::kViewForm);
}
