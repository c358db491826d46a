#pragma once

#include <QByteArray>

// The hidden temporary files of saves in progress must not outlive a program that is told to
// stop (kill, Ctrl+C, a closed terminal): on SIGTERM, SIGINT and SIGHUP they are removed, then
// the signal takes its default course, so the program still ends as the sender meant.
namespace zukaro {

// Installs the handlers, once; a signal that was set to be ignored (nohup) stays ignored.
// SIGXFSZ is ignored from then on, so that a file-size limit (ulimit -f) is an error a save
// reports, naming the file, instead of the end of the program.
void removeTemporaryFilesOnSignals();

// A file name the handler removes until release() or destruction. The name is prepared here,
// beforehand: the handler only calls unlink(), which is safe in a signal handler. A name that
// does not fit (longer than PATH_MAX, or every place taken) is simply not removed.
class RemovedOnSignal {
public:
    RemovedOnSignal() = default;
    explicit RemovedOnSignal(const QByteArray& path);
    ~RemovedOnSignal() { release(); }
    RemovedOnSignal(const RemovedOnSignal&) = delete;
    RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;

    void release();

private:
    int slot_ = -1;
};

}  // namespace zukaro
