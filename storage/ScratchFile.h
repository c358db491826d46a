#pragma once

#include <QByteArray>
#include <QString>

namespace zukaro {

// A temporary file in the temporary folder (TMPDIR) that loses its name as soon as it is
// made, so that nothing is left behind even when the program is killed. Writers that open
// their output by name (the printer) reach it through /proc/self/fd; without /proc it keeps
// its name until it is destroyed.
class ScratchFile {
public:
    ScratchFile() = default;
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Creates the file; on failure `error` says why in Japanese and names the folder.
    bool create(QString& error);
    // The name a writer opens.
    QString path() const { return path_; }
    // Everything written to the file so far.
    QByteArray readAll() const;

private:
    int fd_ = -1;
    QString path_;
    QString named_;  // the real name while it still has one
};

}  // namespace zukaro
