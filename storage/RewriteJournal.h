#pragma once

#include <sys/stat.h>

#include <QString>

#include "FilePlace.h"
#include "FileSystem.h"

// A file rewritten in place (its inode kept, for its other hard links or its owner) cannot be
// replaced in one step: a stop halfway would leave the new content's start on the old one's
// end. So the complete new content is first synced beside it (the side file), then a journal
// (".NAME.zukaro-journal": which side file, for which file, how long) is synced, and only then
// is the file overwritten; the journal goes once the file is complete. A stop at any moment
// leaves either no journal and the old file untouched, or a journal with which the next read
// or save of the file finishes the copy: the file is old or new, never torn. A journal cut
// short (stopped while it was written) was written before the file was touched and is dropped;
// one for a file that has since been replaced or removed is dropped with its side file.
namespace zukaro {

struct RewriteResult {
    int error = 0;         // errno of the step that failed; 0 when done
    bool started = false;  // the file had begun to change: the journal and side file stay
};

// Overwrites the file at `place`, open as `target` (for writing, the same file as `info`), with
// the complete, synced content of the side file place.hiddenName(`sideSuffix`) of `size` bytes.
RewriteResult rewriteWithJournal(FileSystem& fs, const FilePlace& place, int target,
                                 const struct stat& info, const QString& sideSuffix, off_t size);

struct JournalResult {
    bool ok = true;    // nothing was left to finish, or it is finished now
    int error = 0;     // why it could not be finished
    QString sidePath;  // the new content, when it could not
};

// Finishes, from its journal, a rewrite in place of the file at `place` that was stopped.
JournalResult finishRewrite(FileSystem& fs, const FilePlace& place);

// Waits up to five seconds for the lock that one rewrite of a file holds while it copies: a
// second program saving the same file waits for the first, and never takes a live rewrite
// for a stopped one.
bool lockForRewrite(FileSystem& fs, int fd);

}  // namespace zukaro
