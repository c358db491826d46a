#include "ProductMaster.h"

namespace zukaro {

ProductMaster::ProductMaster(MasterLocation location, int busyTimeoutMs)
    : connection_(std::move(location), busyTimeoutMs) {}

ProductMaster::ProductMaster(const QString& sqlitePath, int busyTimeoutMs)
    : ProductMaster(MasterLocation::sqlite(sqlitePath), busyTimeoutMs) {}

ProductMaster::~ProductMaster() = default;

std::unique_ptr<ProductMaster> ProductMaster::another() const {
    auto copy =
        std::make_unique<ProductMaster>(connection_.location(), connection_.busyTimeoutMs());
    copy->setReconnectPause(connection_.reconnectPause());
    return copy;
}

}  // namespace zukaro
