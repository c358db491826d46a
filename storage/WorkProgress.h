#pragma once

#include <QString>
#include <atomic>
#include <mutex>

namespace zukaro {

// How far a long piece of work has come (reading a list, the master import, saving or printing
// many sheets), shared between the thread doing it and the window showing it, which can ask it
// to stop. The work looks at cancelled() between its steps and stops cleanly there.
class WorkProgress {
public:
    struct State {
        QString step;  // what is being done, in Japanese
        qint64 done = 0;
        qint64 total = 0;  // 0 when not known
    };

    // A new step: what is done now and how much of it there is.
    void beginStep(const QString& step, qint64 total) {
        const std::lock_guard lock(mutex_);
        step_ = step;
        total_ = total;
        done_ = 0;
    }
    void setDone(qint64 done) { done_ = done; }
    State state() const {
        const std::lock_guard lock(mutex_);
        return {step_, done_, total_};
    }

    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

private:
    mutable std::mutex mutex_;
    QString step_;
    std::atomic<qint64> done_{0};
    std::atomic<qint64> total_{0};
    std::atomic<bool> cancelled_{false};
};

// For work that may run without anyone watching: no progress object, never cancelled.
inline bool cancelledBy(const WorkProgress* progress) {
    return progress != nullptr && progress->cancelled();
}
inline void reportDone(WorkProgress* progress, qint64 done) {
    if (progress != nullptr) {
        progress->setDone(done);
    }
}
inline void beginStep(WorkProgress* progress, const QString& step, qint64 total) {
    if (progress != nullptr) {
        progress->beginStep(step, total);
    }
}

}  // namespace zukaro
