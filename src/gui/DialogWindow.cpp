#include "gui/DialogWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vantrel {
namespace {

// Sees the keys the focused control leaves alone, as they travel up to the window.
class KeyWatch : public QObject {
public:
    KeyWatch(QWidget* window, QPushButton* defaultButton, std::function<void()> escape)
        : QObject(window), defaultButton_(defaultButton), escape_(std::move(escape))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        if (key->key() == Qt::Key_Escape) {
            escape_();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && defaultButton_ &&
            defaultButton_->isEnabled() && defaultButton_->isVisible()) {
            defaultButton_->click();
            return true;
        }
        return false;
    }

private:
    QPushButton* defaultButton_;
    std::function<void()> escape_;
};

}  // namespace

void DialogKeys(QWidget* window, QPushButton* defaultButton, std::function<void()> escape)
{
    // A focused button takes Enter itself, as in the toolkit's own dialogs.
    for (QPushButton* button : window->findChildren<QPushButton*>()) button->setAutoDefault(true);
    if (defaultButton) defaultButton->setDefault(true);
    new KeyWatch(window, defaultButton, std::move(escape));
}

namespace {

// Room for the frame and title bar the window manager adds.
const QSize kFrame(16, 48);

const QScreen* ScreenOf(const QWidget* window)
{
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

}  // namespace

QSize FitToScreen(const QWidget* window, QSize wanted)
{
    const QScreen* screen = ScreenOf(window);
    if (!screen) return wanted;
    const QSize room = screen->availableGeometry().size() - kFrame;
    return wanted.boundedTo(room.expandedTo(QSize(200, 150)));
}

void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = ScreenOf(window);
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect frame(QPoint(), window->size() + kFrame);
    frame.moveCenter(area.center());
    window->move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
}

}  // namespace vantrel
