#include "gui/ListMessage.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/DialogWindow.h"

namespace vantrel {
namespace {

// Lines the list shows before it scrolls, and the width it asks for at most, in characters.
constexpr int kShownLines = 20;
constexpr int kWidestLine = 100;

QLabel* SelectableLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

}  // namespace

ListMessage::ListMessage(QWidget* owner, const QString& title, const QString& text, const QStringList& lines,
                         const QString& question, QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)
    : QDialog(owner)
{
    setObjectName("ListMessage");
    setWindowTitle(title);
    answer_ = buttons & QMessageBox::No       ? QMessageBox::No
              : buttons & QMessageBox::Cancel ? QMessageBox::Cancel
                                              : QMessageBox::Ok;

    text_ = SelectableLabel(text, this);
    text_->setObjectName("lblText");
    auto* top = new QHBoxLayout;
    if (icon != QMessageBox::NoIcon) {
        auto* picture = new QLabel(this);
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        const QStyle::StandardPixmap shown = icon == QMessageBox::Question   ? QStyle::SP_MessageBoxQuestion
                                             : icon == QMessageBox::Warning  ? QStyle::SP_MessageBoxWarning
                                             : icon == QMessageBox::Critical ? QStyle::SP_MessageBoxCritical
                                                                             : QStyle::SP_MessageBoxInformation;
        picture->setPixmap(style()->standardIcon(shown, nullptr, this).pixmap(size, size));
        top->addWidget(picture, 0, Qt::AlignTop);
    }
    top->addWidget(text_, 1);

    list_ = new QPlainTextEdit(this);
    list_->setObjectName("txtList");
    list_->setReadOnly(true);
    list_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    list_->setLineWrapMode(QPlainTextEdit::NoWrap);
    list_->setPlainText(lines.join('\n'));
    list_->setVisible(!lines.isEmpty());
    list_->setMinimumHeight(list_->fontMetrics().lineSpacing() * 3);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::StandardButtons(static_cast<int>(buttons)), this);
    connect(buttons_, &QDialogButtonBox::clicked, this, [this](QAbstractButton* button) {
        answer_ = static_cast<QMessageBox::StandardButton>(buttons_->standardButton(button));
        done(answer_ == QMessageBox::No || answer_ == QMessageBox::Cancel ? Rejected : Accepted);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    if (!question.isEmpty()) layout->addWidget(SelectableLabel(question, this));
    layout->addWidget(buttons_);

    // Wide enough for the longest line within reason, tall enough for a screenful of the list,
    // and no larger than the screen: the list gives up the room, never the buttons.
    const QFontMetrics metrics = list_->fontMetrics();
    int widest = metrics.horizontalAdvance(title) + 200;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    widest = std::min(widest, metrics.averageCharWidth() * kWidestLine);
    const int shown = static_cast<int>(std::min<qsizetype>(lines.size(), kShownLines));
    const int listHeight = metrics.lineSpacing() * (shown + 1) + 2 * list_->frameWidth();
    const QSize others = layout->sizeHint() - list_->sizeHint();
    const QSize wanted(widest + list_->verticalScrollBar()->sizeHint().width() + 4 * list_->frameWidth() +
                           layout->contentsMargins().left() + layout->contentsMargins().right(),
                       others.height() + (lines.isEmpty() ? 0 : listHeight));
    resize(FitToScreen(this, wanted.expandedTo(QSize(420, 0))));
    CentreOnScreen(this);
    if (QPushButton* first = buttons_->button(QDialogButtonBox::StandardButton(
            static_cast<int>(buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok))))
        first->setDefault(true);
}

}  // namespace vantrel
