// Reading and writing a full sheet: 21 labels with Japanese texts and the settings block.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "BuiltInValues.h"
#include "Cp932.h"
#include "LabelFile.h"

namespace {

zukaro::SheetState fullSheet() {
    zukaro::SheetState sheet;
    zukaro::applyFirstStartValues(sheet.layout);
    for (int n = 1; n <= zukaro::kLabelCount; ++n) {
        sheet.setLabel(
            n,
            {QString::number(4901234567000LL + n), QStringLiteral("株式会社カトー製菓"),
             QStringLiteral("ポテトチップス　うすしお味 %1 号").arg(n), QStringLiteral("60g×12袋"),
             QStringLiteral("L-2024-%1").arg(n), QString::number(128 * n)});
    }
    return sheet;
}

void BM_EncodeFullSheet(benchmark::State& state) {
    const zukaro::SheetState sheet = fullSheet();
    for (auto _ : state) {
        benchmark::DoNotOptimize(zukaro::labelFileBytes(sheet));
    }
}
BENCHMARK(BM_EncodeFullSheet);

void BM_DecodeFullSheet(benchmark::State& state) {
    const QByteArray bytes = zukaro::labelFileBytes(fullSheet());
    for (auto _ : state) {
        zukaro::SheetState sheet;
        benchmark::DoNotOptimize(zukaro::readLabelData(bytes, sheet));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_DecodeFullSheet);

void BM_FindUnencodable(benchmark::State& state) {
    const zukaro::SheetState sheet = fullSheet();
    for (auto _ : state) {
        benchmark::DoNotOptimize(zukaro::findUnencodable(sheet));
    }
}
BENCHMARK(BM_FindUnencodable);

// Through the file system: temporary file, flush and rename for the write.
void BM_WriteFileFullSheet(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.csv"));
    const zukaro::SheetState sheet = fullSheet();
    for (auto _ : state) {
        const zukaro::FileResult r =
            zukaro::writeLabelFile(path, sheet, zukaro::UnencodablePolicy::Refuse);
        if (!r.ok) {
            state.SkipWithError("write failed");
        }
    }
}
BENCHMARK(BM_WriteFileFullSheet)->Unit(benchmark::kMicrosecond);

void BM_ReadFileFullSheet(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.csv"));
    zukaro::writeLabelFile(path, fullSheet(), zukaro::UnencodablePolicy::Refuse);
    for (auto _ : state) {
        zukaro::SheetState sheet;
        benchmark::DoNotOptimize(zukaro::readLabelFile(path, sheet));
    }
}
BENCHMARK(BM_ReadFileFullSheet)->Unit(benchmark::kMicrosecond);

// The worst a user can hand the reader: a file at the 16 MiB cap.
void BM_ReadLargestAllowed(benchmark::State& state) {
    QByteArray bytes = zukaro::labelFileBytes(fullSheet());
    const QByteArray tail("\"\x83\x59\x83\x4a\x83\x8d\",");
    while (bytes.size() + tail.size() <= zukaro::kMaxFileSize) {
        bytes += tail;
    }
    for (auto _ : state) {
        zukaro::SheetState sheet;
        benchmark::DoNotOptimize(zukaro::readLabelData(bytes, sheet));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadLargestAllowed)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
