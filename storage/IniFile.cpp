#include "IniFile.h"

#include "SafeFile.h"

namespace zukaro {

IniFile openIniFile(const QString& path) {
    const ReadResult looked = checkRegularFile(path);
    if (!looked.ok() && looked.status != ReadResult::Status::Missing) {
        return {nullptr, looked.error};
    }
    return {std::make_unique<QSettings>(path, QSettings::IniFormat), {}};
}

}  // namespace zukaro
