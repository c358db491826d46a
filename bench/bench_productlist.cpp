// A chain's master list of a million products kept in the product master: the import alone,
// and the whole reading through the 商品リスト window, whose own thread must never stall for
// long while it runs (goal: no stall over 100 ms).
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "ColumnMapping.h"
#include "MessageBoxes.h"
#include "ProductListModel.h"
#include "ProductListSource.h"
#include "ProductListWindow.h"
#include "ProductMaster.h"
#include "ProductRows.h"
#include "QtCommonDialog1.h"

namespace {

using namespace zukaro;

constexpr int kRows = 1'000'000;

QString janOf(qint64 n) {
    const QString digits = QStringLiteral("49%1").arg(n, 10, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        sum += digits[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    }
    return digits + QString::number((10 - sum % 10) % 10);
}

// The list (45 MB of UTF-8), written once.
const QString& listFile() {
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("全店マスタ.csv"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("JANコード,メーカー,品名,売価\n").toUtf8());
        for (int i = 0; i < kRows; ++i) {
            file.write(QStringLiteral("%1,カトー,のり塩 %2,%3\n")
                           .arg(janOf(i))
                           .arg(i)
                           .arg(100 + i % 900)
                           .toUtf8());
        }
    }
    return path;
}

// Messages are counted, never shown: a box would wait for a click.
class CountedMessages final : public MessageBoxes {
public:
    bool askYesNo(const QString&, const QString&, MessageIcon, bool) override { return false; }
    void tell(const QString&, const QString& text, MessageIcon) override { last = text; }
    Answer askYesNoCancel(const QString&, const QString&, MessageIcon) override {
        return Answer::Cancel;
    }
    QString last;
};

double peakRssMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
        }
    }
    return 0;
}

void BM_MasterImportMillionRows(benchmark::State& state) {
    const SourceResult read = readProductFile(listFile());
    const ProductList list = toProductRows(read.table, ColumnMapping::detect(read.table));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        ProductMaster master(dir.filePath(QStringLiteral("products.sqlite")));
        master.open();
        state.ResumeTiming();
        if (!master.importRows(list.rows).ok) {
            state.SkipWithError("the import failed");
        }
    }
    state.counters["rows"] = double(list.rows.size());
}
BENCHMARK(BM_MasterImportMillionRows)->Unit(benchmark::kSecond)->Iterations(3);

// Reading, checking and comparing the list with the master, then 「マスターに登録」, run on a
// thread of their own; a 5 ms timer on the window's thread measures the longest time it had to
// wait, the end (the table filled, the master written) too.
void BM_WindowImportLongestStall(benchmark::State& state) {
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        listFile();
        QTemporaryDir dir;
        ProductMaster master(dir.filePath(QStringLiteral("products.sqlite")));
        master.open();
        QtCommonDialog1 dialogs;  // never shown
        CountedMessages messages;
        ProductListHooks hooks;
        hooks.master = &master;
        ProductListWindow window(dialogs, messages, hooks);
        window.show();
        QElapsedTimer clock;
        qint64 last = 0;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        tick.start();
        state.ResumeTiming();
        const bool read = window.importFile(listFile());
        window.registerWithMaster();
        state.PauseTiming();
        longest = std::max(longest, clock.elapsed() - last);
        if (!read || window.model().rowCount() != kRows ||
            master.productCount().count != kRows) {
            state.SkipWithError(qPrintable(messages.last));
        }
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = double(longest);
    state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_WindowImportLongestStall)->Unit(benchmark::kSecond)->Iterations(2);

}  // namespace
