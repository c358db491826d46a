#pragma once

class QWidget;

namespace zukaro {

// Keeps a top-level window, with its title bar and borders, inside the available area of its
// screen: on its first show, and again once the window manager has put its frame around it
// (which it does only after the window is on screen, so the first show cannot know its size).
// A window larger than the room is made smaller, never below its minimum size.
void keepInsideScreen(QWidget& window);

// Makes the window, frame included, fit its screen's available area now.
void fitInsideScreen(QWidget& window);

}  // namespace zukaro
