// Keystroke to redrawn preview: Enter in the price field stores the price, moves on to the
// next label, redraws the sheet and shows the next label with its frame and counter.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <QTest>

#include "EditorWindow.h"
#include "EntryField.h"
#include "SampleSheet.h"
#include "QtCommonDialog1.h"
#include "QtMessageBoxes.h"

namespace {

using namespace zukaro;

void BM_PriceEnterToRedrawnPreview(benchmark::State& state) {
    QTemporaryDir settings;
    QtCommonDialog1 dialogs;  // never shown: no command here opens a dialog
    QtMessageBoxes messages;
    EditorWindow window(dialogs, messages, {settings.path(), settings.path()});
    window.show();
    if (!QTest::qWaitForWindowActive(&window)) {
        state.SkipWithError("the window did not become active");
        return;
    }
    const SheetState sample = sample::fullSheet();
    for (int n = 1; n <= kLabelCount; ++n) {
        window.sheet().setLabel(n, sample.label(n));
    }
    EntryField* price = window.controls().Text5;
    for (auto _ : state) {
        state.PauseTiming();
        window.sheet().currentLabel = 1 + (window.sheet().currentLabel % 20);
        price->setFocus(Qt::MouseFocusReason);
        state.ResumeTiming();
        QTest::keyClick(price, Qt::Key_Return);
    }
}
BENCHMARK(BM_PriceEnterToRedrawnPreview)->Unit(benchmark::kMillisecond);

}  // namespace
