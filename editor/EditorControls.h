#pragma once

#include <QString>
#include <array>

#include "Items.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QScrollArea;
class QSplitter;
class QWidget;

namespace zukaro {

class EntryField;
class PrintDayEdit;

// The four nudge buttons of one element.
struct NudgeButtons {
    QPushButton* right = nullptr;  // 右: x + 1
    QPushButton* left = nullptr;   // 左: x - 1
    QPushButton* down = nullptr;   // 下: y + 1
    QPushButton* up = nullptr;     // 上: y - 1
};

// The style and position controls of one item; those an item does not have stay null.
struct ItemControls {
    QPushButton* font = nullptr;
    QPushButton* color = nullptr;
    QPushButton* shown = nullptr;
    QPushButton* underline = nullptr;
    NudgeButtons nudges;
};

// Every control of the editor window, under its design name. Built once by
// buildEditorControls; the window and its handlers only look them up here.
struct EditorControls {
    // Entry fields and their captions; Label6 is the label counter.
    EntryField* Text1 = nullptr;
    EntryField* Text2 = nullptr;
    EntryField* Text3 = nullptr;
    EntryField* Text4 = nullptr;
    EntryField* Text5 = nullptr;
    EntryField* Text6 = nullptr;
    QLabel* Label6 = nullptr;

    // Label commands.
    QPushButton* cmdfirst = nullptr;
    QPushButton* cmdprevious = nullptr;
    QPushButton* Cmdnext = nullptr;
    QPushButton* Cmdlast = nullptr;
    QPushButton* クリア = nullptr;
    QPushButton* コピー = nullptr;
    QPushButton* 削除 = nullptr;
    QPushButton* 挿入 = nullptr;
    QPushButton* 前候補 = nullptr;
    QPushButton* 全クリア = nullptr;
    QPushButton* 全コピー = nullptr;

    // Preview, print, zoom, exit.
    QPushButton* プレビュー = nullptr;
    QPushButton* 印刷 = nullptr;
    QPushButton* 倍率 = nullptr;
    QPushButton* 全体 = nullptr;  // the zoom that fits the whole sheet into the preview
    QPushButton* Command1 = nullptr;
    QPushButton* 商品リストボタン = nullptr;
    QPushButton* 印刷位置の調整ボタン = nullptr;  // beside 印刷: the printer's calibration
    // Above the preview: the day it and 印刷 take sales and rates on.
    PrintDayEdit* 印刷日 = nullptr;

    // Per item, in the order of items(): font, colour, show/hide, underline and nudges.
    std::array<ItemControls, kItemCount> items;
    // The bars: show/hide (BARCODE) and nudges.
    QPushButton* BARCODE = nullptr;
    NudgeButtons barNudges;

    QPushButton* 縁取 = nullptr;

    // In 単位価格's frame: to whole yen or to 0.1 yen.
    QComboBox* 単位価格の端数 = nullptr;

    // Sheet shifts and their step counters.
    QLineEdit* x座標調整 = nullptr;
    QLineEdit* y座標調整 = nullptr;
    QPushButton* xプラス = nullptr;
    QPushButton* xマイナス = nullptr;
    QPushButton* yプラス = nullptr;
    QPushButton* yマイナス = nullptr;

    // Prices with tax: the layout's mode, default rate, rounding, separators and fitting, and
    // beside the price field the current label's rate.
    QComboBox* 総額表示 = nullptr;
    QComboBox* 標準税率 = nullptr;
    QComboBox* 端数処理 = nullptr;
    QCheckBox* 桁区切り = nullptr;
    QCheckBox* 価格を枠内に収める = nullptr;
    QPushButton* 税率切替 = nullptr;
    // The regular price of a sale struck through, and the rate changes by date (「軽減 0%
    // 2026-10-01」, several joined by 「、」).
    QCheckBox* 通常価格に取り消し線 = nullptr;
    QLineEdit* 税率改定 = nullptr;

    // A sale on the current label, after the price in keyboard order: the sale price, the
    // regular price it replaces, the first and the last day.
    QLineEdit* 特価 = nullptr;
    QLineEdit* 通常価格 = nullptr;
    QLineEdit* 特売開始日 = nullptr;
    QLineEdit* 特売終了日 = nullptr;
    std::array<QLineEdit*, 4> saleFields() const {
        return {特価, 通常価格, 特売開始日, 特売終了日};
    }

    QPushButton* pt保存 = nullptr;
    QPushButton* デフォルト = nullptr;

    // Above the preview while labels have texts that overprint or leave them: which labels,
    // and 価格を枠内に収める in one click.
    QWidget* 重なりの知らせ = nullptr;
    QLabel* 重なりの説明 = nullptr;
    QPushButton* 枠内に収める = nullptr;

    // Where the preview goes (the window puts the preview viewport in it), and the scroll area
    // that holds every other control.
    QWidget* previewArea = nullptr;
    QScrollArea* controlsArea = nullptr;
    QSplitter* split = nullptr;

    // Menu "ファイル(&F)".
    QAction* KURIA = nullptr;
    QAction* f_open = nullptr;
    QAction* U_SAVE = nullptr;
    QAction* N_SAVE = nullptr;
    QAction* M_プレビュー = nullptr;
    QAction* P_印刷 = nullptr;
    QAction* MNUEXIT = nullptr;
    QAction* 商品リスト = nullptr;      // the product list window
    QAction* 印刷位置の調整 = nullptr;  // each printer's calibration
    QAction* 商品マスター = nullptr;    // where the product master is

    // Menu "編集(&E)": undo and redo of every change of the labels and the layout.
    QAction* 元に戻す = nullptr;
    QAction* やり直し = nullptr;

    // The six entry fields in tab order: JAN, maker, product name, spec, lot, price.
    std::array<EntryField*, 6> fieldsInTabOrder() const {
        return {Text1, Text2, Text3, Text4, Text6, Text5};
    }
    // The entry field of a text item.
    EntryField* entryField(const ItemDescription& item) const;
    const ItemControls& controlsOf(const ItemDescription& item) const;
};

// Creates every control inside `window` (central widget and menu bar) and lays them out to
// fit a 1366 x 768 screen.
EditorControls buildEditorControls(QMainWindow* window);

}  // namespace zukaro
