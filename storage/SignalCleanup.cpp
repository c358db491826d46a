#include "SignalCleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace zukaro {
namespace {

// Saves in progress at the same time: one per output of the command line, a few in a window.
constexpr int kSlots = 16;
enum : int { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};
std::array<Slot, kSlots> pending;
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the states");

constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

extern "C" void removePendingFiles(int signalNumber) {
    const int savedErrno = errno;
    for (Slot& slot : pending) {
        if (slot.state.load(std::memory_order_acquire) == kReady) {
            ::unlink(slot.path);
        }
    }
    // The default action once the handler returns: the signal stays blocked until then.
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    ::sigaction(signalNumber, &defaultAction, nullptr);
    ::raise(signalNumber);
    errno = savedErrno;
}

}  // namespace

void removeTemporaryFilesOnSignals() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (const int signalNumber : kSignals) {
            struct sigaction current {};
            if (::sigaction(signalNumber, nullptr, &current) != 0 ||
                current.sa_handler != SIG_DFL) {
                continue;  // ignored on purpose, or someone else's handler
            }
            struct sigaction action {};
            action.sa_handler = removePendingFiles;
            sigemptyset(&action.sa_mask);
            for (const int other : kSignals) {
                sigaddset(&action.sa_mask, other);  // one cleanup at a time
            }
            ::sigaction(signalNumber, &action, nullptr);
        }
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, nullptr);
    });
}

RemovedOnSignal::RemovedOnSignal(const QByteArray& path) {
    if (path.size() >= PATH_MAX) {
        return;
    }
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (pending[i].state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(pending[i].path, path.constData(), static_cast<std::size_t>(path.size()));
            pending[i].path[path.size()] = '\0';
            pending[i].state.store(kReady, std::memory_order_release);
            slot_ = i;
            return;
        }
    }
}

void RemovedOnSignal::release() {
    if (slot_ >= 0) {
        pending[slot_].state.store(kFree, std::memory_order_release);
        slot_ = -1;
    }
}

}  // namespace zukaro
