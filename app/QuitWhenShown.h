#pragma once

class QWidget;

namespace zukaro {

// Ends the program as soon as `window` has been shown and painted for the first time. Used
// only to time the start-up as a whole process; call it before showing the window.
void quitWhenShown(QWidget& window);

}  // namespace zukaro
