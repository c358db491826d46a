// The session without a window must give, pixel for pixel, what the editor window gives after
// the same fresh start and open command: the page 印刷(&P) prints to a PDF, and the preview.
#include <QAction>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "BatchSession.h"
#include "CliFixture.h"
#include "EditorWindow.h"
#include "PreviewPane.h"
#include "PreviewSurface.h"
#include "PrintedSheet.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "SheetCommands.h"

using namespace zukaro;

class TestBatchSession : public QObject {
    Q_OBJECT

private slots:
    void sameAsTheEditor_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("zoomPercent");
        QTest::newRow("first start, full sheet, 100 %") << fixture::path("full_sheet.csv") << 100;
        QTest::newRow("damaged file") << fixture::path("record_22_and_cut_after_10.csv") << 50;
    }

    void sameAsTheEditor() {
        QFETCH(QString, file);
        QFETCH(int, zoomPercent);
        QTemporaryDir dir;
        const SettingsLocations settings{dir.path(), dir.filePath("user")};
        ScriptedCommonDialog1 dialogs;
        ScriptedMessageBoxes messages;
        EditorWindow editor(dialogs, messages, settings);
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QVERIFY(openSheetFile(editor, file));
        QString err;
        QTextStream errStream(&err);
        BatchSession batch(settings, errStream);
        QVERIFY(batch.open(file));
        // The window told the user about a damaged file in a box, the session on the console.
        QCOMPARE(err.contains("一部を読み込めませんでした"), !messages.shown().isEmpty());

        // The user picks a full-page 600-dpi PDF printer in the print dialog.
        DialogAnswer answer;
        answer.choosePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("editor.pdf"));
            printer.setResolution(600);
            printer.setPageSize(QPageSize(QPageSize::A4));
            printer.setFullPage(true);
        };
        dialogs.script(answer);
        editor.controls().P_印刷->trigger();
        QVERIFY2(batch.printPdf(dir.filePath("batch.pdf"), 600), qPrintable(err));
        const QImage page =
            printed::rasterise(dir.filePath("editor.pdf"), 150, dir.filePath("e.png"));
        QVERIFY(!page.isNull());
        QCOMPARE(printed::rasterise(dir.filePath("batch.pdf"), 150, dir.filePath("b.png")), page);

        // The clerk picks the zoom with 倍率 (a window too narrow for 50 % opens at 全体).
        for (int i = 0; i < 3 && (editor.sheetCommands().zoom() * 100 != zoomPercent ||
                                  editor.preview().wholePage());
             ++i) {
            QTest::mouseClick(editor.controls().倍率, Qt::LeftButton);
        }
        editor.sheetCommands().showPreview();
        const QImage preview = editor.preview().picDraw().image();
        QVERIFY(batch.savePreviewPng(dir.filePath("preview.png"), zoomPercent));
        QCOMPARE(QImage(dir.filePath("preview.png")).convertToFormat(preview.format()), preview);
    }
};

QTEST_MAIN(TestBatchSession)
#include "tst_batchsession.moc"
