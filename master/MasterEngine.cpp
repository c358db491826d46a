#include "MasterEngine.h"

#include "PostgresEngine.h"
#include "SqliteEngine.h"

namespace zukaro {

std::unique_ptr<MasterEngine> MasterEngine::create(const MasterLocation& location,
                                                   int busyTimeoutMs) {
    if (location.isPostgres()) {
        return std::make_unique<PostgresEngine>(location);
    }
    return std::make_unique<SqliteEngine>(location.path, busyTimeoutMs);
}

}  // namespace zukaro
