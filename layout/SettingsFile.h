#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "SafeFile.h"
#include "SettingsBlock.h"
#include "SheetState.h"
#include "UnencodableText.h"

// data.txt, the user's default pattern: one layout settings block in code page 932.
namespace zukaro {

// Where data.txt may live: beside the program, or (when that folder cannot be written, as
// in a system-wide install) in the user's configuration folder. Tests pass their own.
struct SettingsLocations {
    QString programDir;
    QString userDir;

    // QCoreApplication::applicationDirPath() and QStandardPaths::AppConfigLocation.
    static SettingsLocations standard();

    QString programFile() const;
    QString userFile() const;
};

struct SettingsLoad {
    Layout layout;               // the first-start values plus every field that read correctly
    QString path;                // the file that was read; empty when there was none
    int skippedFields = 0;       // fields missing, of the wrong type or out of range
    qsizetype invalidBytes = 0;  // bytes that were no code page 932 character
    QString error;               // the file exists but could not be read (Japanese)
    // Lines after the ten (or the ends of them) that were not read.
    std::vector<SkippedLine> skippedLines;
    qint64 moreSkippedLines = 0;  // counted only (kKeptSkippedLines)

    // True when the file existed but not everything in it could be used.
    bool damaged() const { return !warnings().isEmpty(); }
    // What was skipped, one Japanese line per kind; the read error first.
    QStringList warnings() const;
};

// Start-up: reads the per-user copy when it exists, else the one beside the program. A
// missing file gives a new user's values (applyNewUserValues) and no error; a short, malformed,
// binary, oversized or unreadable one never stops start-up.
SettingsLoad loadSettings(const SettingsLocations& locations);

// The same from bytes already read.
SettingsLoad readSettingsData(QByteArrayView bytes);

// The file's contents for `layout`: ten lines, CRLF, no byte-order mark; characters code page
// 932 cannot hold are written as '?'.
QByteArray settingsBytes(const Layout& layout);

// The pt保存 button. Writes where the next start-up will read: the per-user copy when it
// exists, else beside the program, else (that folder not writable) the per-user copy. With
// UnencodablePolicy::Refuse and an unencodable character nothing is written. On failure
// nothing changes and `error` names every path tried with its reason.
FileResult saveSettings(const SettingsLocations& locations, const Layout& layout,
                        UnencodablePolicy policy, FileSystem& fs = FileSystem::real());

}  // namespace zukaro
