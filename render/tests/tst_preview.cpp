// The preview surface in its viewport, the scroll bars, and the preview, print and zoom
// commands with scripted dialogs and real PDF printers.
#include <QAction>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "CommandBindings.h"
#include "ModalDialogs.h"
#include "PreviewPane.h"
#include "PreviewSurface.h"
#include "PrintedSheet.h"
#include "SampleSheet.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "SheetCommands.h"

using namespace zukaro;

Q_DECLARE_METATYPE(ScrollRange)

namespace {

// A 600 x 400 viewport onto landscape paper (shown portrait), a full-page PDF printer and
// scripted dialogs; a counter stands in for Text1's focus.
struct Fixture {
    Fixture() {
        pane.resize(600 + pane.VScroll1().sizeHint().width(),
                    400 + pane.HScroll1().sizeHint().height());
        pane.show();
        pane.sizeToPage(pageTwips(QPageSize(QSizeF(297, 210), QPageSize::Millimeter)));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setFullPage(true);
        commands.setFocusText1([this] { ++focusCount; });
    }
    QImage page() { return pane.picDraw().image().convertToFormat(QImage::Format_RGB32); }

    SheetState sheet = sample::fullSheet();
    PreviewPane pane;
    QPrinter printer{QPrinter::HighResolution};
    ScriptedCommonDialog1 dialog;
    ScriptedMessageBoxes messages;
    SheetCommands commands{sheet, pane.picDraw(), dialog, messages, printer};
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
        bindSheetCommands(f.commands, {preview, previewMenu, print, printMenu, zoom});
        preview.click();
        const QImage half = f.page();
        f.sheet.printMode = PrintMode::Paper;
        f.pane.picDraw().paintPage([](draw::DrawTarget& t) { t.clear(); });
        previewMenu.trigger();
        QVERIFY(f.sheet.printMode == PrintMode::Preview);
        QCOMPARE(f.page(), half);
        print.click();  // no answer scripted: the dialog is cancelled
        printMenu.trigger();
        QCOMPARE(f.dialog.shownKinds(), QStringList({"printer", "printer"}));
        QCOMPARE(f.focusCount, 4);
        zoom.click();
        QCOMPARE(zoom.text(), caption::zoomFull);
        // At 100 % label 21's frame reaches (2.7 + 198.3, 12.6 + 266.7) mm: pixel (760, 1056).
        QCOMPARE(f.page().pixel(759, 1000), qRgb(128, 128, 128));
        zoom.click();
        QCOMPARE(zoom.text(), caption::zoomHalf);
        QCOMPARE(f.page(), half);
    }

    void printSheet_data() {
        QTest::addColumn<int>("outcome");  // of the printer dialog
        QTest::addColumn<QString>(
            "output");  // in a fresh folder unless absolute; empty: no printer
        QTest::addColumn<bool>("printed");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << int(kCancelError) << "sheet.pdf" << false << "";
        QTest::newRow("confirmed") << 0 << "sheet.pdf" << true << "";
        QTest::newRow("dialog failed, printer as it was") << 28663 << "sheet.pdf" << true << "";
        QTest::newRow("missing folder")
            << 0 << "missing/sheet.pdf" << false << "作成できませんでした";
        QTest::newRow("no printer") << 0 << "" << false << "印刷できるプリンターがありません";
        // Every write fails after the drawing, while Qt itself reports success.
        QTest::newRow("disk full") << 0 << "/dev/full" << false << "書き終えられませんでした";
    }

    void printSheet() {
        QFETCH(int, outcome);
        QFETCH(QString, output);
        QFETCH(bool, printed);
        QFETCH(QString, message);
        Fixture f;
        QTemporaryDir dir;
        const QString path =
            output.isEmpty() || output.startsWith(u'/') ? output : dir.filePath(output);
        f.printer.setOutputFileName(path);
        f.commands.showPreview();  // at 50 %
        const QImage preview = f.page();
        DialogAnswer answer;
        answer.outcome = outcome;
        f.dialog.script(answer);
        f.commands.printSheet();
        QCOMPARE(f.messages.shown().size(), message.isEmpty() ? 0 : 1);
        QVERIFY(message.isEmpty() || f.messages.shown().front().text.contains(message));
        QCOMPARE(f.sheet.zoom, 0.5);
        QCOMPARE(f.page(), preview);  // printing does not redraw the preview
        QCOMPARE(QFileInfo(path).isFile(), printed);
        // On paper at full size: label 21's 円 where 100 % puts it.
        const printed::Word yen = printed::expectedWords(f.sheet, 21).back();
        QVERIFY(!printed || printed::nearestWord(printed::pdfWords(path), yen).second < 0.25);
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
