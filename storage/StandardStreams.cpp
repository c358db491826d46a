#include "StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>
#include <initializer_list>

namespace zukaro {
namespace {

bool outputClosed = false;

}  // namespace

void keepStandardStreamsOpen() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) >= 0) {
            continue;
        }
        outputClosed = outputClosed || fd == STDOUT_FILENO;
        // The streams are taken in order, so the lowest free number is this one's.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

bool standardOutputWasClosed() {
    return outputClosed;
}

}  // namespace zukaro
