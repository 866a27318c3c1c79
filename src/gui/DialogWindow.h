#pragma once
// What the program's small windows do alike: Escape closes them (as Cancel where there is one)
// and Enter presses their default button; and every window's first size fits the screen it
// opens on, whatever the scale factor.

#include <QSize>
#include <functional>

class QPushButton;
class QWidget;

namespace vantrel {

// Escape runs `escape`; Enter and Return press `defaultButton`, or the button holding the focus.
void DialogKeys(QWidget* window, QPushButton* defaultButton, std::function<void()> escape);

// `wanted`, made no larger than the room the screen of `window` leaves for a window.
QSize FitToScreen(const QWidget* window, QSize wanted);

// Places the window in the middle of its screen, where a window manager's own placement could
// leave part of it below the screen's edge.
void CentreOnScreen(QWidget* window);

}  // namespace vantrel
