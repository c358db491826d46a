// The style and position buttons of the editor window, clicked for real, with the font and
// colour dialogs answered from a script.
#include <QAction>
#include <QDir>
#include <QLineEdit>

#include "EditorFixture.h"

using namespace zukaro;
using namespace zukaro::testing;

class TestLayoutButtons : public QObject {
    Q_OBJECT
    EditorFixture ui_;

private slots:
    void init() {
        ui_.reset();
        QVERIFY(ui_.open());
    }
    void cleanup() {
        ZUKARO_VERIFY_NO_DIALOG_LEFT();
        ui_.reset();
    }

    // The font dialog opens on the item's font; OK stores the choice in whole points, halves
    // going to the even neighbour. A colour cancelled changes nothing and leaves the focus on
    // its button. The outline asks for its colour only to go on, and stays off when cancelled.
    void dialogButtons() {
        const Layout& l = ui_.sheet().layout;
        // After each click: the last dialog (a font by its preset); the product name's font;
        // the price, lot and outline colours and the outline button; the focus.
        QStringList after;
        const auto click = [&](const QString& button) {
            ui_.click(button);
            const FontSpec& f = l.productFont;
            const auto& shown = ui_.dialogs.shown().last();
            after << u"%1; %2 %3%4; %5 %6 %7 %8; %9"_qs
                         .arg(shown.kind == "font" ? QString::number(shown.font.size) : shown.kind)
                         .arg(f.Name)
                         .arg(f.Size)
                         .arg(f.Bold ? " bold" : "")
                         .arg(l.priceColor, 0, 16)
                         .arg(l.lotColor, 0, 16)
                         .arg(l.borderColor, 0, 16)
                         .arg(ui_.button(u"縁取"_qs)->text(), ui_.focused());
        };
        click(u"品名フォント切替"_qs);
        for (const double size : {10.5, 11.5}) {
            ui_.dialogs.script({.font = {u"ＭＳ ゴシック"_qs, size, true, false}});
            click(u"品名フォント切替"_qs);
        }
        click(u"売価_COLOR"_qs);
        ui_.dialogs.script({.color = 0xFF0000});
        click(u"色_color"_qs);
        click(u"縁取"_qs);
        ui_.dialogs.script({.color = 255});
        click(u"縁取"_qs);
        ui_.dialogs.script({.color = 0x00FF00});
        click(u"縁取"_qs);
        QCOMPARE(after,
                 u"11; ＭＳ 明朝 11; ff 0 0 カラーで縁取りする; Text1\n"
                 u"11; ＭＳ ゴシック 10 bold; ff 0 0 カラーで縁取りする; Text1\n"
                 u"10; ＭＳ ゴシック 12 bold; ff 0 0 カラーで縁取りする; Text1\n"
                 u"color; ＭＳ ゴシック 12 bold; ff 0 0 カラーで縁取りする; 売価_COLOR\n"
                 u"color; ＭＳ ゴシック 12 bold; ff ff0000 0 カラーで縁取りする; Text1\n"
                 u"color; ＭＳ ゴシック 12 bold; ff ff0000 0 カラーで縁取りする; 縁取\n"
                 u"color; ＭＳ ゴシック 12 bold; ff ff0000 ff 縁取りしない; Text1\n"
                 u"color; ＭＳ ゴシック 12 bold; ff ff0000 ff カラーで縁取りする; Text1"_qs.split(
                     u'\n'));
        QCOMPARE(ui_.dialogs.shownKinds().size(), 7);  // not for the outline going off
    }

    // Each show, bars and underline button clicked twice: its caption names what the next click
    // does.
    void toggles() {
        QStringList captions;  // after the first click and the second, and the focus
        const auto twice = [&](const QString& button) {
            ui_.click(button);
            captions << ui_.button(button)->text() + ' ';
            ui_.click(button);
            captions.last() += ui_.button(button)->text() + ' ' + ui_.focused();
        };
        for (const QString& button :
             u"jan表示 BARCODE メーカー表示 品名表示 規格表示 ロット表示 単価表示 円表示 "
             u"メーカーU表示 品名U表示 規格U表示 ロットU表示"_qs.split(u' ')) {
            twice(button);
        }
        const QString show = u"表示する 表示しない Text1"_qs;
        const QString underline = u"アンダーライン無 アンダーライン有 Text1"_qs;
        QCOMPARE(captions, QStringList(8, show) << QStringList(4, underline));
    }

    // 1 mm a click; offsets stop at the 16-bit bounds.
    void nudges() {
        Layout& l = ui_.sheet().layout;
        std::tie(l.barX, l.yenY) = std::pair(32766, -32766);
        ui_.click(u"maker_上"_qs, 3);
        ui_.click(u"jan_右"_qs, 40);
        ui_.click(u"右"_qs);  // the unprefixed buttons move the price
        ui_.click(u"bar_右"_qs, 2);
        ui_.click(u"enn_上"_qs, 2);
        QCOMPARE(
            u"%1 %2 %3 %4 %5"_qs.arg(l.makerY).arg(l.janX).arg(l.priceX).arg(l.barX).arg(l.yenY),
            u"-3 40 1 32767 -32767"_qs);
    }

    // 1 mm a step; the step boxes stop at 10 steps either way; an empty box counts as 0, and
    // one that is not a number moves nothing.
    void sheetShiftLimits() {
        const SheetState& sheet = ui_.sheet();
        QStringList after;  // the box, the layout's text, the mm moved
        const auto shift = [&](const QString& box, const QString& button) {
            const bool x = button.startsWith(u'x');
            auto* edit = ui_.window->findChild<QLineEdit*>(x ? u"x座標調整"_qs : u"y座標調整"_qs);
            edit->setText(box);
            const double before = x ? sheet.sheetX : sheet.sheetY;
            ui_.click(button);
            after << u"%1|%2|%3"_qs
                         .arg(edit->text(), x ? sheet.layout.x座標調整 : sheet.layout.y座標調整)
                         .arg((x ? sheet.sheetX : sheet.sheetY) - before);
        };
        shift(u"10"_qs, u"xプラス"_qs);
        shift(u"-10"_qs, u"yマイナス"_qs);
        shift(u"-10"_qs, u"yプラス"_qs);
        shift(u"9.5"_qs, u"xプラス"_qs);
        shift(u"10.5"_qs, u"xプラス"_qs);
        shift(u""_qs, u"xプラス"_qs);
        shift(u"abc"_qs, u"xプラス"_qs);
        shift(u"0"_qs, u"xマイナス"_qs);
        QCOMPARE(after.join(u' '),
                 u"10|10|0 -10|-10|0 -9|-9|1 10.5|10.5|1 10.5|10.5|0 1|1|1 abc|abc|0 -1|-1|-1"_qs);
    }

    // The sheet shift comes back after a restart, as the last step (undo included) left it.
    // Only the user's settings keep it: the label file and data.txt saved after the restart
    // are byte for byte those saved before the sheet was moved.
    void sheetShiftSurvivesARestart() {
        const QDir folder(ui_.settingsDir->path());
        const auto saveBoth = [&](const QString& name) {
            ui_.dialogs.script({.path = folder.filePath(name)});
            ui_.window->controls().N_SAVE->trigger();
            ui_.messages.scriptAnswer(true);
            ui_.click(u"pt保存"_qs);
            QFile label(folder.filePath(name));
            QFile dataTxt(folder.filePath(u"data.txt"_qs));
            return label.open(QIODevice::ReadOnly) && dataTxt.open(QIODevice::ReadOnly)
                       ? label.readAll() + "|" + dataTxt.readAll()
                       : QByteArray();
        };
        typeLabel(
            {u"4901234567894"_qs, u"花王"_qs, u"アタック"_qs, u"1.0kg"_qs, u"A-12"_qs, u"398"_qs});
        const QByteArray before = saveBoth(u"before.csv"_qs);
        QVERIFY(!before.isEmpty());
        const SheetOrigin start{ui_.sheet().sheetX, ui_.sheet().sheetY};
        ui_.click(u"yマイナス"_qs, 2);
        ui_.window->controls().元に戻す->trigger();
        ui_.click(u"xプラス"_qs, 2);

        QVERIFY(ui_.open());
        QCOMPARE(ui_.sheet().sheetX, start.x + 2);
        QCOMPARE(ui_.sheet().sheetY, start.y - 1);
        QVERIFY(openSheetFile(*ui_.window, folder.filePath(u"before.csv"_qs)));
        QCOMPARE(saveBoth(u"after.csv"_qs), before);
    }
};

QTEST_MAIN(TestLayoutButtons)
#include "tst_layoutbuttons.moc"
