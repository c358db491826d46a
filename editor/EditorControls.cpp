#include "EditorControls.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "EditorCommands.h"
#include "EntryField.h"
#include "PrintDayEdit.h"
#include "SheetCommands.h"
#include "SheetState.h"
#include "SwitchCaptions.h"

namespace zukaro {
namespace {

// The smallest the two halves of the window get: the preview still shows the whole sheet
// small, the controls scroll.
constexpr int kPreviewMinimumWidth = 240;
constexpr int kControlsMinimumWidth = 280;
constexpr int kMinimumHeight = 240;

QPushButton* button(const QString& designName, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(designName);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QPushButton* smallButton(const QString& designName, const QString& text, QWidget* parent) {
    QPushButton* b = button(designName, text, parent);
    b->setFixedWidth(30);
    return b;
}

QLabel* caption(const QString& designName, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(designName);
    return label;
}

// Four nudge buttons in a row: 左 上 下 右. `prefix` is the design prefix ("jan_", "" ...).
NudgeButtons nudges(const QString& prefix, QGridLayout* grid, int row, QWidget* parent) {
    NudgeButtons n;
    n.left = smallButton(prefix + QStringLiteral("左"), QStringLiteral("左"), parent);
    n.up = smallButton(prefix + QStringLiteral("上"), QStringLiteral("上"), parent);
    n.down = smallButton(prefix + QStringLiteral("下"), QStringLiteral("下"), parent);
    n.right = smallButton(prefix + QStringLiteral("右"), QStringLiteral("右"), parent);
    auto* strip = new QHBoxLayout;
    strip->setSpacing(2);
    for (QPushButton* b : {n.left, n.up, n.down, n.right}) {
        strip->addWidget(b);
    }
    strip->addStretch();
    grid->addLayout(strip, row, 0, 1, 2);
    return n;
}

// One element's frame: font and colour, show/hide and underline, then the nudges. The
// buttons an element does not have (no design name) stay null.
struct ElementNames {
    const char16_t* title;
    const char16_t* font;
    const char16_t* color;
    const char16_t* shown;
    const char16_t* underline;
    const char16_t* nudgePrefix;
};

QGroupBox* elementFrame(const ElementNames& names, ItemControls& out, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromUtf16(names.title), parent);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setSpacing(2);
    if (names.font != nullptr) {
        out.font =
            button(QString::fromUtf16(names.font), QStringLiteral("フォント.サイズ切替"), box);
        out.color = button(QString::fromUtf16(names.color), QStringLiteral("色"), box);
        out.color->setFixedWidth(30);
        grid->addWidget(out.font, 0, 0);
        grid->addWidget(out.color, 0, 1);
    }
    out.shown = button(QString::fromUtf16(names.shown), caption::shown, box);
    grid->addWidget(out.shown, 1, 0);
    if (names.underline != nullptr) {
        out.underline = button(QString::fromUtf16(names.underline), caption::plain, box);
        grid->addWidget(out.underline, 2, 0);
    }
    out.nudges = nudges(QString::fromUtf16(names.nudgePrefix), grid, 3, box);
    grid->setRowStretch(4, 1);
    return box;
}

// The menus, built from the menu entries of editorCommands() in their order.
void buildMenu(QMainWindow* window, EditorControls& c) {
    QList<QMenu*> menus;
    for (const EditorCommand& command : editorCommands()) {
        if (command.menu.isEmpty()) {
            continue;
        }
        const auto found = std::find_if(menus.begin(), menus.end(),
                                        [&](QMenu* m) { return m->title() == command.menu; });
        QMenu* menu = found != menus.end()
                          ? *found
                          : menus.emplaceBack(window->menuBar()->addMenu(command.menu));
        if (command.separatorBefore) {
            menu->addSeparator();
        }
        QAction* action = menu->addAction(command.text);
        action->setObjectName(command.designName);
        action->setShortcuts(command.shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    const auto action = [window](const QString& name) { return window->findChild<QAction*>(name); };
    c.KURIA = action(QStringLiteral("KURIA"));
    c.f_open = action(QStringLiteral("f_open"));
    c.U_SAVE = action(QStringLiteral("U_SAVE"));
    c.N_SAVE = action(QStringLiteral("N_SAVE"));
    c.M_プレビュー = action(QStringLiteral("M_プレビュー"));
    c.P_印刷 = action(QStringLiteral("P_印刷"));
    c.印刷位置の調整 = action(QStringLiteral("印刷位置の調整"));
    c.商品リスト = action(QStringLiteral("商品リスト"));
    c.商品マスター = action(QStringLiteral("商品マスター"));
    c.商品マスター->setEnabled(false);  // until the window has a master
    c.MNUEXIT = action(QStringLiteral("MNUEXIT"));
    c.元に戻す = action(QStringLiteral("元に戻す"));
    c.やり直し = action(QStringLiteral("やり直し"));
}

QWidget* buildEntryPanel(EditorControls& c, QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);

    c.Text1 = new EntryField(QStringLiteral("Text1"), panel);
    c.Text2 = new EntryField(QStringLiteral("Text2"), panel);
    c.Text3 = new EntryField(QStringLiteral("Text3"), panel);
    c.Text4 = new EntryField(QStringLiteral("Text4"), panel);
    c.Text6 = new EntryField(QStringLiteral("Text6"), panel);
    c.Text5 = new EntryField(QStringLiteral("Text5"), panel);

    const std::pair<QLabel*, EntryField*> rows[] = {
        {caption(QStringLiteral("Label1"), QStringLiteral("JANコード OR 空白"), panel), c.Text1},
        {caption(QStringLiteral("Label2"), QStringLiteral("メーカー等"), panel), c.Text2},
        {caption(QStringLiteral("Label3"), QStringLiteral("品名等"), panel), c.Text3},
        {caption(QStringLiteral("Label4"), QStringLiteral("規格等"), panel), c.Text4},
        {caption(QStringLiteral("Label7"), QStringLiteral("ロット等"), panel), c.Text6},
        {caption(QStringLiteral("Label5"), QStringLiteral("売価等"), panel), c.Text5},
    };
    // The current label's tax rate, beside its price.
    c.税率切替 = button(QStringLiteral("税率切替"), QStringLiteral("10%"), panel);
    // Wide enough for 「10%内」 and 「非課税」 (see mirrorPriceControls).
    c.税率切替->setFixedWidth(
        std::max(44, c.税率切替->fontMetrics().horizontalAdvance(QStringLiteral("10%内")) + 14));
    c.税率切替->setToolTip(QStringLiteral("このラベルの消費税率 (10% ⇔ 8%)"));
    int row = 0;
    for (const auto& [label, field] : rows) {
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        if (field == c.Text5) {
            auto* priceRow = new QHBoxLayout;
            priceRow->setSpacing(2);
            priceRow->addWidget(field, 1);
            priceRow->addWidget(c.税率切替);
            grid->addLayout(priceRow, row, 1);
        } else {
            grid->addWidget(field, row, 1);
        }
        ++row;
    }
    c.Text1->setMinimumWidth(220);

    // The sale of the current label, under its price.
    const auto saleField = [panel](const QString& name, const QString& hint) {
        auto* field = new QLineEdit(panel);
        field->setObjectName(name);
        field->setPlaceholderText(hint);
        return field;
    };
    c.特価 = saleField(QStringLiteral("特価"), QStringLiteral("特価 (なければ空)"));
    c.通常価格 = saleField(QStringLiteral("通常価格"), QStringLiteral("空なら売価"));
    c.特売開始日 = saleField(QStringLiteral("特売開始日"), QStringLiteral("2026/12/08"));
    c.特売終了日 = saleField(QStringLiteral("特売終了日"), QStringLiteral("空なら期限なし"));
    auto* saleRow = new QHBoxLayout;
    saleRow->setSpacing(2);
    saleRow->addWidget(c.特価, 1);
    saleRow->addWidget(caption(QStringLiteral("Label通常価格"), QStringLiteral("通常"), panel));
    saleRow->addWidget(c.通常価格, 1);
    auto* periodRow = new QHBoxLayout;
    periodRow->setSpacing(2);
    periodRow->addWidget(c.特売開始日, 1);
    periodRow->addWidget(caption(QStringLiteral("Label特売期間"), QStringLiteral("～"), panel));
    periodRow->addWidget(c.特売終了日, 1);
    QLabel* saleCaption = caption(QStringLiteral("Label特価"), QStringLiteral("特価"), panel);
    saleCaption->setBuddy(c.特価);
    grid->addWidget(saleCaption, row, 0);
    grid->addLayout(saleRow, row++, 1);
    QLabel* periodCaption =
        caption(QStringLiteral("Label特売期間の始め"), QStringLiteral("特売期間"), panel);
    periodCaption->setBuddy(c.特売開始日);
    grid->addWidget(periodCaption, row, 0);
    grid->addLayout(periodRow, row++, 1);

    // Counter, navigation and the commands that work on the current label.
    c.Label6 = caption(QStringLiteral("Label6"), QStringLiteral("1/21"), panel);
    c.Label6->setAlignment(Qt::AlignCenter);
    QFont counterFont = c.Label6->font();
    counterFont.setPointSizeF(counterFont.pointSizeF() * 1.5);
    c.Label6->setFont(counterFont);
    c.cmdfirst = button(QStringLiteral("cmdfirst"), QStringLiteral("<<"), panel);
    c.cmdprevious = button(QStringLiteral("cmdprevious"), QStringLiteral("<"), panel);
    c.Cmdnext = button(QStringLiteral("Cmdnext"), QStringLiteral(">"), panel);
    c.Cmdlast = button(QStringLiteral("Cmdlast"), QStringLiteral(">>"), panel);
    auto* nav = new QHBoxLayout;
    nav->setSpacing(2);
    for (QPushButton* b : {c.cmdfirst, c.cmdprevious, c.Cmdnext, c.Cmdlast}) {
        b->setFixedWidth(36);
        nav->addWidget(b);
    }
    c.前候補 = button(QStringLiteral("前候補"), QStringLiteral("前候補 "), panel);
    c.コピー = button(QStringLiteral("コピー"), QStringLiteral("前のデータをコピーする &C"), panel);
    c.クリア = button(QStringLiteral("クリア"), QStringLiteral("クリア"), panel);
    c.削除 = button(QStringLiteral("削除"), QStringLiteral("削除"), panel);
    c.挿入 = button(QStringLiteral("挿入"), QStringLiteral("挿入"), panel);
    c.全クリア = button(QStringLiteral("全クリア"), QStringLiteral("全画面クリア"), panel);
    c.全コピー = button(QStringLiteral("全コピー"), QStringLiteral("１項目を全コピー"), panel);

    auto* side = new QGridLayout;
    side->setSpacing(3);
    side->addWidget(c.Label6, 0, 0, 1, 2);
    side->addLayout(nav, 1, 0, 1, 2);
    side->addWidget(c.前候補, 2, 0);
    side->addWidget(c.クリア, 2, 1);
    side->addWidget(c.コピー, 3, 0, 1, 2);
    side->addWidget(c.削除, 4, 0);
    side->addWidget(c.挿入, 4, 1);
    side->addWidget(c.全クリア, 5, 0);
    side->addWidget(c.全コピー, 5, 1);
    grid->addLayout(side, 0, 2, row, 1);
    grid->setColumnStretch(1, 1);
    return panel;
}

QWidget* buildCommandRow(EditorControls& c, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    c.プレビュー = button(QStringLiteral("プレビュー"), QStringLiteral("プレビュー"), row);
    c.印刷 = button(QStringLiteral("印刷"), QStringLiteral("印刷"), row);
    c.倍率 = button(QStringLiteral("倍率"), caption::zoomHalf, row);
    c.Command1 = button(QStringLiteral("Command1"), QStringLiteral("終了"), row);
    c.商品リストボタン =
        button(QStringLiteral("商品リストボタン"), QStringLiteral("商品リスト"), row);
    c.全体 = button(QStringLiteral("全体"), QStringLiteral("全体"), row);
    c.全体->setToolTip(QStringLiteral("シート全体がプレビューに収まる倍率にします"));
    c.印刷位置の調整ボタン =
        button(QStringLiteral("印刷位置の調整ボタン"), QStringLiteral("印刷位置の調整"), row);
    c.印刷位置の調整ボタン->setToolTip(
        QStringLiteral("プリンターごとに、ラベルに合わせて印刷位置のずれと伸び縮みを直します"));
    for (QPushButton* b :
         {c.プレビュー, c.印刷, c.印刷位置の調整ボタン, c.倍率, c.全体, c.商品リストボタン}) {
        layout->addWidget(b);
    }
    layout->addStretch();
    layout->addWidget(c.Command1);
    return row;
}

QWidget* buildStylePanel(EditorControls& c, QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    // JAN, the bars, then the other items, four to a row.
    std::vector<QGroupBox*> frames;
    for (std::size_t i = 0; i < kItemCount; ++i) {
        const ItemDescription& d = items()[i];
        frames.push_back(elementFrame(
            {d.title, d.fontButton, d.colorButton, d.shownButton, d.underlineButton, d.nudgePrefix},
            c.items[i], panel));
        if (d.item == Item::UnitPrice) {
            QGroupBox* frame = frames.back();
            frame->setObjectName(QString::fromUtf16(d.title));
            c.単位価格の端数 = new QComboBox(frame);
            c.単位価格の端数->setObjectName(QStringLiteral("単位価格の端数"));
            c.単位価格の端数->addItems({QStringLiteral("1円単位"), QStringLiteral("0.1円単位")});
            c.単位価格の端数->setToolTip(QStringLiteral(
                "100g・100ml あたりの価格の端数 (四捨五入): 1 円単位か 0.1 円単位か"));
            static_cast<QGridLayout*>(frame->layout())->addWidget(c.単位価格の端数, 2, 0, 1, 2);
        }
        if (d.item == Item::Jan) {
            const BarsDescription& b = bars();
            ItemControls barControls;
            frames.push_back(
                elementFrame({b.title, nullptr, nullptr, b.shownButton, nullptr, b.nudgePrefix},
                             barControls, panel));
            c.BARCODE = barControls.shown;
            c.barNudges = barControls.nudges;
        }
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        grid->addWidget(frames[i], int(i / 4), int(i % 4));
    }
    return panel;
}

QWidget* buildPricePanel(EditorControls& c, QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral("総額表示"), parent);
    auto* outer = new QVBoxLayout(frame);
    outer->setContentsMargins(4, 2, 4, 4);
    auto* row = new QHBoxLayout;
    outer->addLayout(row);
    const auto combo = [frame](const QString& name, const QStringList& choices) {
        auto* box = new QComboBox(frame);
        box->setObjectName(name);
        box->addItems(choices);
        return box;
    };
    c.総額表示 = combo(
        QStringLiteral("総額表示"),
        {QStringLiteral("入力どおり"), QStringLiteral("税込表示"), QStringLiteral("本体+税込")});
    c.標準税率 =
        combo(QStringLiteral("標準税率"), {QStringLiteral("標準 10%"), QStringLiteral("軽減 8%")});
    c.端数処理 =
        combo(QStringLiteral("端数処理"),
              {QStringLiteral("切り捨て"), QStringLiteral("四捨五入"), QStringLiteral("切り上げ")});
    c.桁区切り = new QCheckBox(QStringLiteral("3 桁区切り (1,280)"), frame);
    c.桁区切り->setObjectName(QStringLiteral("桁区切り"));
    c.桁区切り->setToolTip(QStringLiteral("価格に 3 桁ごとの「,」を入れます (1280円 → 1,280円)"));
    c.価格を枠内に収める = new QCheckBox(QStringLiteral("価格を枠内に収める"), frame);
    c.価格を枠内に収める->setObjectName(QStringLiteral("価格を枠内に収める"));
    for (QWidget* w : std::initializer_list<QWidget*>{c.総額表示, c.標準税率, c.端数処理,
                                                      c.桁区切り, c.価格を枠内に収める}) {
        row->addWidget(w);
    }
    row->addStretch();
    c.通常価格に取り消し線 = new QCheckBox(QStringLiteral("特売の通常価格に取り消し線"), frame);
    c.通常価格に取り消し線->setObjectName(QStringLiteral("通常価格に取り消し線"));
    c.税率改定 = new QLineEdit(frame);
    c.税率改定->setObjectName(QStringLiteral("税率改定"));
    c.税率改定->setPlaceholderText(QStringLiteral("税率改定: 軽減 0% 2026-10-01"));
    c.税率改定->setToolTip(
        QStringLiteral("標準 10% と軽減 8% (2019-10-01 から) の後の改定を「区分 税率% 適用開始日」"
                       "で入れます。いくつもあれば「、」で区切ります"));
    auto* second = new QHBoxLayout;
    second->addWidget(c.通常価格に取り消し線);
    second->addWidget(new QLabel(QStringLiteral("税率改定"), frame));
    second->addWidget(c.税率改定, 1);
    outer->addLayout(second);
    return frame;
}

// A strip over the preview, shown by the window while some label's texts overprint or leave
// it.
QWidget* buildFitNotice(EditorControls& c, QWidget* parent) {
    auto* strip = new QFrame(parent);
    strip->setObjectName(QStringLiteral("重なりの知らせ"));
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setStyleSheet(QStringLiteral("#重なりの知らせ { background: #fff0f0; }"));
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 2, 6, 2);
    c.重なりの説明 = caption(QStringLiteral("重なりの説明"), QString(), strip);
    c.重なりの説明->setWordWrap(true);
    c.重なりの説明->setStyleSheet(QStringLiteral("color: #b00000;"));
    c.枠内に収める = button(QStringLiteral("枠内に収める"), QStringLiteral("枠内に収める"), strip);
    row->addWidget(c.重なりの説明, 1);
    row->addWidget(c.枠内に収める);
    strip->hide();
    c.重なりの知らせ = strip;
    return strip;
}

QWidget* buildPositionPanel(EditorControls& c, QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);

    auto* frame = new QGroupBox(QStringLiteral("印字位置調整"), panel);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setSpacing(2);
    auto box = [frame](const QString& name) {
        auto* edit = new QLineEdit(QStringLiteral("0"), frame);
        edit->setObjectName(name);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(44);
        return edit;
    };
    c.x座標調整 = box(QStringLiteral("x座標調整"));
    c.y座標調整 = box(QStringLiteral("y座標調整"));
    c.xマイナス = smallButton(QStringLiteral("xマイナス"), QStringLiteral("-"), frame);
    c.xプラス = smallButton(QStringLiteral("xプラス"), QStringLiteral("+"), frame);
    c.yマイナス = smallButton(QStringLiteral("yマイナス"), QStringLiteral("-"), frame);
    c.yプラス = smallButton(QStringLiteral("yプラス"), QStringLiteral("+"), frame);
    grid->addWidget(new QLabel(QStringLiteral("Ｘ座標"), frame), 0, 0);
    grid->addWidget(c.xマイナス, 0, 1);
    grid->addWidget(c.x座標調整, 0, 2);
    grid->addWidget(c.xプラス, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Ｙ座標"), frame), 0, 4);
    grid->addWidget(c.yマイナス, 0, 5);
    grid->addWidget(c.y座標調整, 0, 6);
    grid->addWidget(c.yプラス, 0, 7);
    row->addWidget(frame);

    c.縁取 = button(QStringLiteral("縁取"), caption::outlineOff, panel);
    c.pt保存 = button(QStringLiteral("pt保存"),
                      QStringLiteral("この印字位置やフォントパターンを保存しておく"), panel);
    c.デフォルト =
        button(QStringLiteral("デフォルト"), QStringLiteral("デフォルトパターンに戻す"), panel);
    auto* buttons = new QGridLayout;
    buttons->setSpacing(3);
    buttons->addWidget(c.縁取, 0, 0);
    buttons->addWidget(c.デフォルト, 0, 1);
    buttons->addWidget(c.pt保存, 1, 0, 1, 2);
    row->addLayout(buttons);
    row->addStretch();
    return panel;
}

}  // namespace

EntryField* EditorControls::entryField(const ItemDescription& item) const {
    for (EntryField* field : fieldsInTabOrder()) {
        if (item.entryField != nullptr && field->objectName() == QStringView(item.entryField)) {
            return field;
        }
    }
    return nullptr;
}

const ItemControls& EditorControls::controlsOf(const ItemDescription& item) const {
    return items.at(static_cast<std::size_t>(&item - zukaro::items().data()));
}

EditorControls buildEditorControls(QMainWindow* window) {
    EditorControls c;
    buildMenu(window, c);

    // The preview and the controls side by side; the user can move the line between them.
    c.split = new QSplitter(Qt::Horizontal, window);
    c.split->setObjectName(QStringLiteral("分割"));
    c.split->setChildrenCollapsible(false);
    c.split->setContentsMargins(4, 4, 4, 4);
    c.previewArea = new QWidget(c.split);
    c.previewArea->setMinimumSize(kPreviewMinimumWidth, kMinimumHeight);
    auto* previewLayout = new QVBoxLayout(c.previewArea);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addWidget(buildFitNotice(c, c.previewArea));

    // The controls scroll when the screen is too small for them (a laptop at 125 %); the
    // preview takes whatever width is left.
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("操作パネル"));
    auto* right = new QVBoxLayout(panel);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(6);
    right->addWidget(buildEntryPanel(c, panel));
    right->addWidget(buildCommandRow(c, panel));
    right->addWidget(buildStylePanel(c, panel));
    right->addWidget(buildPricePanel(c, panel));
    right->addWidget(buildPositionPanel(c, panel));
    right->addStretch();
    // 印刷日 above the preview, which shows the labels as they print on that day. Made after
    // the controls, so that Tab reaches it after them.
    auto* dayRow = new QHBoxLayout;
    c.印刷日 = new PrintDayEdit(c.previewArea);
    dayRow->addWidget(new QLabel(QStringLiteral("印刷日"), c.previewArea));
    dayRow->addWidget(c.印刷日);
    dayRow->addStretch();
    previewLayout->insertLayout(0, dayRow);
    c.controlsArea = new QScrollArea(c.split);
    c.controlsArea->setObjectName(QStringLiteral("操作パネルのスクロール"));
    c.controlsArea->setWidget(panel);
    c.controlsArea->setWidgetResizable(true);
    c.controlsArea->setFrameShape(QFrame::NoFrame);
    c.controlsArea->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    c.controlsArea->setMinimumWidth(kControlsMinimumWidth);
    c.split->addWidget(c.previewArea);
    c.split->addWidget(c.controlsArea);
    c.split->setStretchFactor(0, 1);  // a larger window widens the preview
    c.split->setStretchFactor(1, 0);
    window->setCentralWidget(c.split);

    // Tab order: the six fields first (the lot field comes before the price field), then the
    // sale's four.
    std::vector<QWidget*> fields;
    for (QWidget* field : c.fieldsInTabOrder()) {
        fields.push_back(field);
    }
    for (QWidget* field : c.saleFields()) {
        fields.push_back(field);
    }
    for (std::size_t i = 0; i + 1 < fields.size(); ++i) {
        QWidget::setTabOrder(fields[i], fields[i + 1]);
    }
    return c;
}

}  // namespace zukaro
