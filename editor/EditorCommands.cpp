#include "EditorCommands.h"

#include "Items.h"

namespace zukaro {

const std::vector<EditorCommand>& editorCommands() {
    static const std::vector<EditorCommand> commands = [] {
        using E = SheetEffect;
        using K = QKeySequence;
        std::vector<EditorCommand> c;
        const auto menu = [&c](const QString& menuTitle, const QString& name, E effect,
                               const QString& text, const QList<K>& keys,
                               bool separatorBefore = false) {
            c.push_back({name, effect, menuTitle, text, keys, separatorBefore});
        };
        const auto controls = [&c](E effect, const QStringList& names) {
            for (const QString& name : names) {
                c.push_back({name, effect});
            }
        };

        // Menu ファイル(&F). Ctrl+A and Ctrl+V stay with the entry fields (select all, paste).
        const QString file = QStringLiteral("ファイル(&F)");
        menu(file, QStringLiteral("KURIA"), E::NewSheet, QStringLiteral("新規作成(&N)"),
             {K(Qt::CTRL | Qt::Key_N)});
        menu(file, QStringLiteral("f_open"), E::NewSheet, QStringLiteral("ファイルを開く(&O)"),
             {K(Qt::CTRL | Qt::Key_O)});
        menu(file, QStringLiteral("U_SAVE"), E::None, QStringLiteral("ファイルの上書き保存(&S)"),
             {K(Qt::CTRL | Qt::Key_S)});
        menu(file, QStringLiteral("N_SAVE"), E::None,
             QStringLiteral("名前を付けてファイルを保存(&A)"),
             {K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
        menu(file, QStringLiteral("M_プレビュー"), E::None, QStringLiteral("プレビュー(&V)"),
             {K(Qt::Key_F5)});
        menu(file, QStringLiteral("P_印刷"), E::None, QStringLiteral("印刷(&P)"),
             {K(Qt::CTRL | Qt::Key_P)});
        // The printer's calibration is kept for the printer, outside the sheet.
        menu(file, QStringLiteral("印刷位置の調整"), E::None,
             QStringLiteral("印刷位置の調整(&C)..."), {});
        menu(file, QStringLiteral("商品リスト"), E::None, QStringLiteral("商品リスト(&L)..."),
             {K(Qt::CTRL | Qt::Key_L)});
        // The product master is kept outside the sheet.
        menu(file, QStringLiteral("商品マスター"), E::None, QStringLiteral("商品マスター(&M)..."),
             {});
        menu(file, QStringLiteral("MNUEXIT"), E::None, QStringLiteral("終了(&x)"),
             {K(Qt::CTRL | Qt::Key_Q)}, true);

        // Menu 編集(&E): undo and redo of every change of the labels and the layout.
        const QString edit = QStringLiteral("編集(&E)");
        menu(edit, QStringLiteral("元に戻す"), E::History, QStringLiteral("元に戻す(&U)"),
             {K(Qt::CTRL | Qt::Key_Z)});
        menu(edit, QStringLiteral("やり直し"), E::History, QStringLiteral("やり直し(&R)"),
             {K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

        // The six entry fields store what is typed when they are left.
        controls(E::Undoable,
                 {QStringLiteral("Text1"), QStringLiteral("Text2"), QStringLiteral("Text3"),
                  QStringLiteral("Text4"), QStringLiteral("Text6"), QStringLiteral("Text5")});
        // The sale's four fields, after the price, store the same way.
        controls(E::Undoable, {QStringLiteral("特価"), QStringLiteral("通常価格"),
                               QStringLiteral("特売開始日"), QStringLiteral("特売終了日")});
        // The label commands.
        controls(E::None, {QStringLiteral("cmdfirst"), QStringLiteral("cmdprevious"),
                           QStringLiteral("Cmdnext"), QStringLiteral("Cmdlast")});
        controls(E::Undoable,
                 {QStringLiteral("クリア"), QStringLiteral("コピー"), QStringLiteral("削除"),
                  QStringLiteral("挿入"), QStringLiteral("前候補"), QStringLiteral("全クリア"),
                  QStringLiteral("全コピー")});
        // Preview, print, zoom, the product list and exit; the preview's scroll bars.
        controls(
            E::None,
            {QStringLiteral("プレビュー"), QStringLiteral("印刷"), QStringLiteral("倍率"),
             QStringLiteral("全体"), QStringLiteral("印刷位置の調整ボタン"),
             QStringLiteral("商品リストボタン"), QStringLiteral("印刷日"),
             QStringLiteral("Command1"), QStringLiteral("HScroll1"), QStringLiteral("VScroll1")});

        // Each item's font, colour, show/hide, underline and nudges; the bars' show/hide and
        // nudges.
        const auto nudges = [&controls](const QString& prefix) {
            controls(E::Undoable, {prefix + QStringLiteral("左"), prefix + QStringLiteral("上"),
                                   prefix + QStringLiteral("下"), prefix + QStringLiteral("右")});
        };
        for (const ItemDescription& item : items()) {
            for (const char16_t* name :
                 {item.fontButton, item.colorButton, item.shownButton, item.underlineButton}) {
                if (name != nullptr) {
                    controls(E::Undoable, {QString::fromUtf16(name)});
                }
            }
            nudges(QString::fromUtf16(item.nudgePrefix));
        }
        controls(E::Undoable, {QStringLiteral("単位価格の端数")});
        controls(E::Undoable, {QString::fromUtf16(bars().shownButton)});
        nudges(QString::fromUtf16(bars().nudgePrefix));

        // The outline, the sheet shifts and their step boxes, the prices with tax.
        controls(E::Undoable,
                 {QStringLiteral("縁取"), QStringLiteral("x座標調整"), QStringLiteral("y座標調整"),
                  QStringLiteral("xプラス"), QStringLiteral("xマイナス"), QStringLiteral("yプラス"),
                  QStringLiteral("yマイナス"), QStringLiteral("総額表示"),
                  QStringLiteral("標準税率"), QStringLiteral("端数処理"),
                  QStringLiteral("桁区切り"), QStringLiteral("価格を枠内に収める"),
                  QStringLiteral("枠内に収める"), QStringLiteral("税率切替"),
                  QStringLiteral("通常価格に取り消し線"), QStringLiteral("税率改定")});
        // The layout pattern: pt保存 writes data.txt, デフォルト puts the built-in one on the
        // sheet.
        controls(E::None, {QStringLiteral("pt保存")});
        controls(E::Undoable, {QStringLiteral("デフォルト")});
        return c;
    }();
    return commands;
}

}  // namespace zukaro
