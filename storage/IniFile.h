#pragma once

#include <QSettings>
#include <QString>
#include <memory>

namespace zukaro {

// Our .ini files (master.ini, columns.ini, list.ini, window.ini) are read and written by
// QSettings, which opens the file by name as soon as it is made, and would wait forever for a
// writer if a named pipe stood there. So each is looked at first, as every configuration file
// is (checkRegularFile): nothing there (made when written) or a regular file is taken; a pipe,
// a device, a folder, an unreadable or an oversized file is refused, naming it.
struct IniFile {
    std::unique_ptr<QSettings> settings;  // none when refused
    QString error;                        // Japanese, naming the file, when refused
};

IniFile openIniFile(const QString& path);

}  // namespace zukaro
