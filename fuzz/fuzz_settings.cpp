// Any bytes as data.txt: start-up must never fail, and whatever was taken must come back the
// same through pt保存 and the next start-up.
#include <cstddef>
#include <cstdint>

#include "SettingsFile.h"

using namespace zukaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const SettingsLoad load = readSettingsData(bytes);
    const QByteArray saved = settingsBytes(load.layout);
    const SettingsLoad again = readSettingsData(saved);
    if (again.damaged() || settingsBytes(again.layout) != saved) {
        __builtin_trap();
    }
    return 0;
}
