// The product master of a chain: a 100,000-product import into a database on the private
// PostgreSQL server (scripts/test-postgres.sh, over its Unix socket) and a look-up per scanned
// code, beside the same on a shop's SQLite file. Goals: the import within 10 s, a look-up
// within 5 ms.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <random>

#include "ProductMaster.h"
#include "TestPostgres.h"

namespace {

constexpr int kProducts = 100000;

QString janOf(int i) {
    return QString::number(4900000000000LL + i * 10LL);
}

// A chain's list as head office exports it: names up to 40 characters, six-digit prices.
std::vector<zukaro::ProductRow> chainList(int round) {
    std::vector<zukaro::ProductRow> rows;
    rows.reserve(kProducts);
    for (int i = 0; i < kProducts; ++i) {
        rows.push_back(
            {i + 2, janOf(i), QStringLiteral("株式会社カトー製菓"),
             QStringLiteral("ポテトチップス うすしお味 ファミリーパック 増量中 %1 号").arg(i),
             QStringLiteral("60g×12袋"), QStringLiteral("L-2024-%1").arg(i % 100),
             QString::number(100 + (i + round) % 900000), 1, i % 3 ? 10 : 8});
    }
    return rows;
}

zukaro::testing::TestPostgres& server() {
    static zukaro::testing::TestPostgres instance;
    return instance;
}

// A fresh master of the benchmark's engine (argument 1: PostgreSQL).
std::optional<zukaro::MasterLocation> freshMaster(benchmark::State& state, QTemporaryDir& dir) {
    if (state.range(0) == 0) {
        return zukaro::MasterLocation::sqlite(dir.filePath(QStringLiteral("products.sqlite")));
    }
    if (!server().ready()) {
        state.SkipWithError(qPrintable(server().error()));
        return std::nullopt;
    }
    return server().location(server().createDatabase(), server().office);
}

// Into an empty master (every product added), then again with new prices (every product
// updated): one transaction each.
void BM_Import100000(benchmark::State& state) {
    QTemporaryDir dir;
    const auto where = freshMaster(state, dir);
    if (!where) {
        return;
    }
    zukaro::ProductMaster master(*where);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<zukaro::ProductRow> rows = chainList(round++);
        state.ResumeTiming();
        const zukaro::ProductMaster::ImportResult r = master.importRows(rows);
        if (!r.ok || r.added + r.updated != kProducts) {
            state.SkipWithError(qPrintable(r.error));
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kProducts);
}
BENCHMARK(BM_Import100000)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

// A scanned code looked up in a master of 100,000 products, codes in no order.
void BM_LookupScannedCode(benchmark::State& state) {
    QTemporaryDir dir;
    const auto where = freshMaster(state, dir);
    if (!where) {
        return;
    }
    zukaro::ProductMaster master(*where);
    if (!master.importRows(chainList(0)).ok) {
        state.SkipWithError("the master could not be filled");
        return;
    }
    std::mt19937 random(24);
    std::uniform_int_distribution<int> product(0, kProducts - 1);
    for (auto _ : state) {
        const zukaro::ProductMaster::LookupResult r = master.lookup(janOf(product(random)));
        if (!r.product) {
            state.SkipWithError(qPrintable(r.error));
            break;
        }
    }
}
BENCHMARK(BM_LookupScannedCode)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
