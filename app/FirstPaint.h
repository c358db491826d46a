#pragma once

#include <functional>

class QWidget;

namespace zukaro {

// Calls `then` once, as soon as `window` has been shown and painted for the first time (queued
// after that paint). Call it before showing the window.
void afterFirstPaint(QWidget& window, std::function<void()> then);

}  // namespace zukaro
