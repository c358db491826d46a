// The preview surface in its viewport, the scroll bars, and the preview and zoom commands (the
// editor's printing is tested with the editor window).
#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "CommandBindings.h"
#include "ModalDialogs.h"
#include "PreviewPane.h"
#include "PreviewSurface.h"
#include "SampleSheet.h"
#include "SheetCommands.h"

using namespace zukaro;

Q_DECLARE_METATYPE(ScrollRange)

namespace {

// A 600 x 400 viewport onto landscape paper (shown portrait); a counter stands in for Text1's
// focus.
struct Fixture {
    Fixture() {
        pane.resize(600 + pane.VScroll1().sizeHint().width(),
                    400 + pane.HScroll1().sizeHint().height());
        pane.show();
        pane.sizeToPage(pageTwips(QPageSize(QSizeF(297, 210), QPageSize::Millimeter)));
        commands.setFocusText1([this] { ++focusCount; });
    }
    QImage page() { return pane.picDraw().image().convertToFormat(QImage::Format_RGB32); }

    SheetState sheet = sample::fullSheet();
    PreviewPane pane;
    SheetCommands commands{sheet, pane.picDraw()};
    int focusCount = 0;
};

}  // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { ZUKARO_VERIFY_NO_DIALOG_LEFT(); }

    void scrollRanges_data() {
        QTest::addColumn<double>("page");
        QTest::addColumn<double>("viewport");
        QTest::addColumn<ScrollRange>("range");
        QTest::newRow("A4 on a 768-pixel screen")
            << 16838.0 << 11520.0 << ScrollRange{5318, 532, 53};
        QTest::newRow("page fits: steps of 1") << 11906.0 << 18000.0 << ScrollRange{0, 1, 1};
        QTest::newRow("range below 5: steps of 1") << 4.0 << 0.0 << ScrollRange{4, 1, 1};
        QTest::newRow("beyond 16 bits stops at 32767")
            << 50000.0 << 0.0 << ScrollRange{32767, 3277, 328};
    }

    void scrollRanges() {
        QFETCH(double, page);
        QFETCH(double, viewport);
        QFETCH(ScrollRange, range);
        QCOMPARE(scrollRange(page, viewport), range);
    }

    void scrollingShowsKeptPixels() {
        Fixture f;
        f.commands.showPreview();
        const QImage drawn = f.page();
        f.sheet.clearAllLabels();  // a redraw would show the change
        // Then both bars at their maximum (page minus viewport): the page's corner is the
        // viewport's.
        for (const auto& [h, v] : {std::pair{1500, 3000}, {2906, 10838}}) {
            f.pane.HScroll1().setValue(h);
            f.pane.VScroll1().setValue(v);
            const QPoint offset(qRound(h / 15.0), qRound(v / 15.0));
            QCOMPARE(f.pane.picDraw().pos(), -offset);
            const QImage shown =
                f.pane.picFrame().grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shown, drawn.copy(QRect(offset, shown.size())));
        }
        QCOMPARE(f.pane.picDraw().geometry().bottomRight(), QPoint(599, 399));
    }

    void menusBehaveLikeButtons() {
        Fixture f;
        QPushButton preview, print, zoom(caption::zoomHalf);
        QAction previewMenu, printMenu;
        int prints = 0;
        bindSheetCommands(f.commands, [&prints] { ++prints; },
                          {preview, previewMenu, print, printMenu, zoom});
        preview.click();
        const QImage half = f.page();
        f.pane.picDraw().paintPage([](draw::DrawTarget& t) { t.clear(); });
        previewMenu.trigger();
        QCOMPARE(f.page(), half);
        print.click();
        printMenu.trigger();
        QCOMPARE(prints, 2);
        QCOMPARE(f.focusCount, 2);
        zoom.click();
        QCOMPARE(zoom.text(), caption::zoomFull);
        // At 100 % label 21's frame reaches (2.7 + 198.3, 12.6 + 266.7) mm: pixel (760, 1056).
        QCOMPARE(f.page().pixel(759, 1000), qRgb(128, 128, 128));
        zoom.click();
        QCOMPARE(zoom.text(), caption::zoomHalf);
        QCOMPARE(f.page(), half);
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
