#pragma once

#include <QString>
#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QWidget;

namespace zukaro {

class EntryField;

// The four nudge buttons of one element.
struct NudgeButtons {
    QPushButton* right = nullptr;  // 右: x + 1
    QPushButton* left = nullptr;   // 左: x - 1
    QPushButton* down = nullptr;   // 下: y + 1
    QPushButton* up = nullptr;     // 上: y - 1
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
    QPushButton* Command1 = nullptr;

    // Element styles.
    QPushButton* janフォント切替 = nullptr;
    QPushButton* メーカーフォント切替 = nullptr;
    QPushButton* 品名フォント切替 = nullptr;
    QPushButton* 規格フォント切替 = nullptr;
    QPushButton* ロットフォント切替 = nullptr;
    QPushButton* 単価フォント切替 = nullptr;
    QPushButton* 円フォント切替 = nullptr;

    QPushButton* JAN_COLOR = nullptr;
    QPushButton* メーカー_color = nullptr;
    QPushButton* 品名_color = nullptr;
    QPushButton* 規格_color = nullptr;
    QPushButton* 色_color = nullptr;
    QPushButton* 売価_COLOR = nullptr;
    QPushButton* 円_color = nullptr;

    QPushButton* jan表示 = nullptr;
    QPushButton* BARCODE = nullptr;
    QPushButton* メーカー表示 = nullptr;
    QPushButton* 品名表示 = nullptr;
    QPushButton* 規格表示 = nullptr;
    QPushButton* ロット表示 = nullptr;
    QPushButton* 単価表示 = nullptr;
    QPushButton* 円表示 = nullptr;

    QPushButton* メーカーU表示 = nullptr;
    QPushButton* 品名U表示 = nullptr;
    QPushButton* 規格U表示 = nullptr;
    QPushButton* ロットU表示 = nullptr;

    QPushButton* 縁取 = nullptr;

    // Element nudges: price (右 左 下 上), jan_, bar_, maker_, 品名_, 規格_, rot_, enn_.
    NudgeButtons priceNudges, janNudges, barNudges, makerNudges, productNudges, specNudges,
        lotNudges, yenNudges;

    // Sheet shifts and their step counters.
    QLineEdit* x座標調整 = nullptr;
    QLineEdit* y座標調整 = nullptr;
    QPushButton* xプラス = nullptr;
    QPushButton* xマイナス = nullptr;
    QPushButton* yプラス = nullptr;
    QPushButton* yマイナス = nullptr;

    QPushButton* pt保存 = nullptr;
    QPushButton* デフォルト = nullptr;

    // Where the preview goes (the window puts the preview viewport in it).
    QWidget* previewArea = nullptr;

    // Menu "ファィル(&F)".
    QAction* KURIA = nullptr;
    QAction* f_open = nullptr;
    QAction* U_SAVE = nullptr;
    QAction* N_SAVE = nullptr;
    QAction* M_プレビュー = nullptr;
    QAction* P_印刷 = nullptr;
    QAction* MNUEXIT = nullptr;

    // Menu "編集(&E)": undo and redo of every change of the labels and the layout.
    QAction* 元に戻す = nullptr;
    QAction* やり直し = nullptr;

    // The six entry fields in tab order: JAN, maker, product name, spec, lot, price.
    std::array<EntryField*, 6> fieldsInTabOrder() const {
        return {Text1, Text2, Text3, Text4, Text6, Text5};
    }
};

// Creates every control inside `window` (central widget and menu bar) and lays them out to
// fit a 1366 x 768 screen.
EditorControls buildEditorControls(QMainWindow* window);

}  // namespace zukaro
