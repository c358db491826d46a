#pragma once

#include <sys/stat.h>

#include <QString>

#include "FileSystem.h"

namespace zukaro {

// Where a file is: its folder, opened, and its name there, after the symbolic links that lead
// to it. Everything a save does afterwards is done relative to that opened folder, so that a
// folder or link swapped in the meantime cannot send it elsewhere.
//
// Links are followed as the kernel follows them with protected_symlinks set, whatever the
// system's setting and also for root: a link in a sticky folder that everyone may write (/tmp)
// is followed only when it belongs to the user following it or to the folder's owner. Otherwise
// anyone could plant a link there that makes an administrator's save replace, or create, a file
// of the link's choosing.
class FilePlace {
public:
    enum class Problem {
        None,
        NoFolder,        // the folder is not there (or is no folder)
        FolderNotOpen,   // it is there but cannot be opened (`error`)
        LinksInACircle,  // more than 40 links, as the kernel counts
        ForeignLink,     // refused by the rule above (`linkPath`, `linkOwner`, `folderPath`)
    };

    explicit FilePlace(FileSystem& fs) : fs_(fs) {}
    ~FilePlace() { close(); }
    FilePlace(const FilePlace&) = delete;
    FilePlace& operator=(const FilePlace&) = delete;

    // Opens the folder of `path` and follows the links at its end. False with problem() set
    // when it cannot; the file itself need not exist.
    bool open(const QString& path);
    void close();

    Problem problem() const { return problem_; }
    int error() const { return error_; }
    QString linkPath() const { return linkPath_; }
    uid_t linkOwner() const { return linkOwner_; }

    int folder() const { return folder_; }
    QString folderPath() const { return folderPath_; }
    QString name() const { return name_; }
    QString path() const { return folderPath_ + QLatin1Char('/') + name_; }
    QByteArray encodedName() const;

    // A hidden name beside the file, ".NAME.zukaro-SUFFIX" (SUFFIX at most 12 characters), NAME
    // cut when the whole would be longer than the folder allows, never inside a character.
    QString hiddenName(const QString& suffix) const;

private:
    bool fail(Problem problem, int error = 0);

    FileSystem& fs_;
    int folder_ = -1;
    QString folderPath_;
    QString name_;
    Problem problem_ = Problem::None;
    int error_ = 0;
    QString linkPath_;
    uid_t linkOwner_ = 0;
};

// Whether two paths name the same file, whatever names lead there (a hard link, a symbolic
// link, another path): the same device and inode; for a file not there yet, the same name in
// the same folder (by the folder's device and inode) after the links at their ends.
bool sameFile(const QString& a, const QString& b);

// Whether a link owned by `linkOwner` in the folder `folder` may be followed by the user
// `follower` (the effective user): the kernel's protected_symlinks rule.
bool mayFollowLink(const struct stat& folder, uid_t linkOwner, uid_t follower);

}  // namespace zukaro
