#pragma once

#include <QString>
#include <functional>

#include "WorkProgress.h"

class QWidget;

namespace zukaro {

// Long work of the list window (reading a list, the master import, saving and printing every
// sheet) on a thread of its own, so that the windows keep drawing. Until it ends no window takes
// input; once it has run for a moment a progress dialog (objectName 進行状況) shows what the
// work reports, and its キャンセル asks the work to stop.
//
// The work may use what the window owns, which stays untouched meanwhile; never a widget. A
// database connection it needs is opened on its own thread.
class BackgroundWork {
public:
    // `showAfterMs`: quick work shows no dialog at all.
    explicit BackgroundWork(QWidget* window, int showAfterMs = 400);

    // Runs `work` and returns once it has ended: an empty text, or what went wrong beyond the
    // work's own results (no memory left).
    QString run(const QString& title, const std::function<void(WorkProgress&)>& work);

private:
    QWidget* window_;
    int showAfterMs_;
};

}  // namespace zukaro
