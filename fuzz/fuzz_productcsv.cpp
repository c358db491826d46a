// Any bytes as a product list in text (CSV, TSV, either encoding or both): read as a table and
// row by row, both the same, and on to products and sheets (see ProductListChecks.h).
#include <cstddef>
#include <cstdint>

#include "ProductListChecks.h"
#include "ProductListSource.h"

using namespace zukaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (bytes.startsWith("PK\x03\x04")) {
        return 0;  // the workbook reader has its own target
    }
    const SourceResult read = readProductBytes(bytes, QStringLiteral("一覧.csv"));
    fuzzing::checkList(read);
    std::size_t streamed = 0;
    const SourceResult again =
        readProductBytesRows(bytes, QStringLiteral("一覧.csv"), [&](SourceRow&&) { ++streamed; });
    fuzzing::require(again.ok == read.ok && (!read.ok || streamed == read.table.rows.size()));
    return 0;
}
