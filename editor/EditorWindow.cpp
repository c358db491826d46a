#include "EditorWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "CommandBindings.h"
#include "CommonDialog1.h"
#include "EntryField.h"
#include "FontNames.h"
#include "JanCompletion.h"
#include "MessageBoxes.h"
#include "PreviewPane.h"
#include "PreviewSurface.h"
#include "PrintDayEdit.h"
#include "PrintingSettings.h"
#include "ProductMaster.h"
#include "SheetCommands.h"
#include "SheetPrinting.h"
#include "SwitchCaptions.h"
#include "TaxPrice.h"
#include "WindowFit.h"

namespace zukaro {
namespace {

const QString kTitlePrefix = QStringLiteral("ズカロ入力画面  ");
// The window opens as large as a 1366 x 768 screen allows, room for the preview.
constexpr QSize kEditorWindowSize(1366, 740);
constexpr int kUndoSteps = 500;

}  // namespace

EditorWindow::EditorWindow(CommonDialog1& dialog, MessageBoxes& messages,
                           SettingsLocations settings, QWidget* parent)
    : QMainWindow(parent), dialog_(dialog), messages_(messages), settings_(std::move(settings)) {
    setObjectName(QStringLiteral("ズカロ入力"));
    ui_ = buildEditorControls(this);

    // Field properties of the window design.
    ui_.Text1->setAlignment(Qt::AlignRight);
    ui_.Text5->setAlignment(Qt::AlignRight);
    ui_.Text2->setTypingLimit(6, QStringLiteral("メーカー"));
    ui_.Text3->setTypingLimit(13, QStringLiteral("品名"));
    for (EntryField* field : {ui_.Text2, ui_.Text3}) {
        field->onCut = [this](const QString& text) { say(text); };
    }
    // JAN, spec, lot and price start with the input method in Latin mode; maker and product
    // name are typed in Japanese.
    for (EntryField* field : {ui_.Text1, ui_.Text4, ui_.Text6, ui_.Text5}) {
        field->setInputMethodHints(Qt::ImhPreferLatin);
    }
    ui_.Text1->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhPreferNumbers);
    QFont priceFont(QString::fromStdString(draw::installedFace("ＭＳ Ｐゴシック")));
    priceFont.setPointSizeF(14.25);
    ui_.Text5->setFont(priceFont);

    preview_ = new PreviewPane(ui_.previewArea);
    ui_.previewArea->layout()->addWidget(preview_);
    commands_ = std::make_unique<SheetCommands>(sheet_, preview_->picDraw());
    commands_->setFocusText1([this] { ui_.Text1->setFocus(Qt::OtherFocusReason); });
    printing_ = std::make_unique<SheetPrinting>(sheet_, dialog_, messages_, printer_);
    printing_->setFocusText1([this] { ui_.Text1->setFocus(Qt::OtherFocusReason); });
    printing_->setSettingsFolder(settings_.userDir);
    commands_->setReportChanged([this](const SheetReport& report) { showLabelReport(report); });
    commands_->setPreviewNotes([this] {
        std::vector<PreviewNote> notes;
        for (int n = 1; n <= kLabelCount; ++n) {
            if (awaitsTexts(n)) {
                notes.push_back({n, QStringLiteral("×未登録")});
            }
        }
        return notes;
    });
    // Prices that the clerk gave a rate but that go out without tax are asked about first.
    printing_->setPrintCheck([this] {
        const std::vector<int> untaxed = labelsPrintedWithoutTax(sheet_);
        return untaxed.empty() ||
               messages_.askYesNo(
                   QStringLiteral("印刷"),
                   printedWithoutTaxNote(untaxed) + QStringLiteral("\n\nこのまま印刷しますか？"),
                   MessageIcon::Exclamation, false);
    });
    printing_->setPrinted([this](const QString& where) { say(where); });
    printing_->setPrintDay([this] {
        ui_.印刷日->followToday();
        return ui_.印刷日->day();
    });
    // 印刷日: the preview shows the labels as they print on that day.
    connect(ui_.印刷日, &QDateEdit::dateChanged, this, [this] {
        const QDate day = ui_.印刷日->day();
        commands_->setAsOf(day);
        showPreviewQuietly();
        say(day == QDate::currentDate()
                ? QStringLiteral("今日の特価・税率で表示しています。")
                : spokenDay(day) +
                      QStringLiteral("の特価・税率で表示しています。印刷もこの日の分です。"));
    });
    bindSheetCommands(*commands_, [this] { printing_->printSheet(); },
                      {*ui_.プレビュー, *ui_.M_プレビュー, *ui_.印刷, *ui_.P_印刷, *ui_.倍率,
                       [this](const std::function<void()>& command) { runMenuCommand(command); }});
    onClick(ui_.全体, [this] {
        zoomChosen_ = true;
        showWholeSheet();
        focusText1();
    });
    connect(ui_.倍率, &QPushButton::clicked, this, [this] {
        zoomChosen_ = true;
        fitting_ = false;
        preview_->setWholePage(false);
    });
    // A click on a label in the preview makes it the current label; a double click also
    // puts the focus in its JAN field. What was being typed is stored first, in its own label.
    connect(&preview_->picDraw(), &PreviewSurface::clicked, this, [this](QPointF at) {
        if (const int n = commands_->labelAtPreviewPoint(at.x(), at.y()); n != 0) {
            runMenuCommand([this, n] {
                sheet_.currentLabel = n;
                showCurrentLabel();
            });
        }
    });
    connect(&preview_->picDraw(), &PreviewSurface::doubleClicked, this, [this](QPointF at) {
        if (const int n = commands_->labelAtPreviewPoint(at.x(), at.y()); n != 0) {
            runMenuCommand([this, n] {
                sheet_.currentLabel = n;
                focusText1();
            });
        }
    });
    // Until the clerk chooses a zoom, a preview too narrow for the three columns at 50 % (a
    // laptop at 125 %) shows 全体 rather than labels cut in half.
    connect(preview_, &PreviewPane::viewportResized, this, [this] {
        constexpr double kPixelsPerMm = 96 / 25.4;
        const double columnsRight = (sheet_.sheetX + kColumns * kLabelPitchX) * kPixelsPerMm;
        if (fitting_) {
            fitWholeSheet();
        } else if (!zoomChosen_ &&
                   columnsRight * commands_->zoom() > preview_->picFrame().width()) {
            showWholeSheet();
        }
    });
    undo_.setUndoLimit(kUndoSteps);
    connect(&undo_, &QUndoStack::indexChanged, this, [this] { refreshTitle(); });
    onMenu(ui_.元に戻す, [this] { undo_.undo(); });
    onMenu(ui_.やり直し, [this] { undo_.redo(); });
    onMenu(ui_.KURIA, [this] { newSheet(); });
    const auto showProductList = [this] {
        if (openProductList_) {
            openProductList_();
        }
    };
    onMenu(ui_.商品リスト, showProductList);
    onClick(ui_.商品リストボタン, showProductList);
    setProductListOpener({});
    statusBar();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        resize(screen->availableGeometry().size().boundedTo(kEditorWindowSize));
    }
    restoreWindowPlace();
    keepInsideScreen(*this);

    wireEntryFields(*this);
    wireLabelButtons(*this);
    wireStyleButtons(*this);
    wirePositionButtons(*this);
    wireFileMenu(*this);
    wirePriceControls(*this);
    wireSaleControls(*this);
    connect(ui_.Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_.MNUEXIT, &QAction::triggered, this, &QWidget::close);

    startUp();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::startUp() {
    // picDraw takes the size of the printer's page; the scroll ranges follow from it.
    preview_->sizeToPage(pageTwips(defaultPrinterPage()));
    sheet_.clearAllLabels();
    sheet_.currentLabel = 1;
    // data.txt, or the first-start values; a damaged file never stops the window.
    const SettingsLoad settings = loadSettings(settings_);
    sheet_.layout = settings.layout;
    if (settings.damaged()) {
        settingsWarning_ = settings.path +
                           QStringLiteral(
                               "\nの一部を読み込めませんでした。読み込めなかった設定は"
                               "初期値のままです。\n\n") +
                           settings.warnings().join(QLatin1Char('\n'));
    }
    mirrorCaptions();
    loadEntryFields();
    markSaved();
    setFileName(kUntitled);
    ui_.Label6->setText(QStringLiteral("1/21"));
    commands_->setZoom(0.5);
    // The empty numbered sheet; it also puts the sheet where the shift buttons last left it.
    const PrintingSettingsLoad printing = loadPrintingSettings(settings_.userDir);
    if (!printing.error.isEmpty()) {
        settingsWarning_ +=
            (settingsWarning_.isEmpty() ? QString() : QStringLiteral("\n\n")) + printing.error;
    }
    rememberedShift_ = printing.settings.shiftOrStartUp();
    commands_->showLayoutGuide(rememberedShift_);
    showSheetShift();
    // The window opens with the focus in the JAN field; its first activation draws the
    // real preview.
    ui_.Text1->setFocus(Qt::OtherFocusReason);
}

void EditorWindow::showPreview() {
    commands_->redraw();
    focusText1();
}

void EditorWindow::showPreviewQuietly() {
    const bool wasQuiet = std::exchange(quietFocusMove_, true);
    showPreview();
    quietFocusMove_ = wasQuiet;
}

void EditorWindow::showCurrentLabel() {
    firstPreviewShown_ = true;
    ++labelShows_;
    commands_->redraw();
    commands_->markCurrentLabel();
    ui_.Label6->setText(QLatin1Char(' ') + QString::number(sheet_.currentLabel) +
                        QStringLiteral("/21"));
    loadEntryFields();
    ui_.前候補->setEnabled(false);
    ui_.Text1->selectFromCaret();
}

void EditorWindow::focusText1() {
    // While a dialog that just closed still holds the activation, the focus arrives later and
    // without its handler; the label is shown here then, so that counter, frame and fields
    // always name the current label.
    const int shown = labelShows_;
    if (QApplication::focusWidget() != ui_.Text1) {
        ui_.Text1->setFocus(Qt::OtherFocusReason);
    }
    if (labelShows_ == shown) {
        showCurrentLabel();
    }
}

void EditorWindow::showFirstPreview() {
    if (firstPreviewShown_) {
        return;
    }
    showCurrentLabel();
    if (!settingsWarning_.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            messages_.tell(QStringLiteral("注意"), std::exchange(settingsWarning_, QString()),
                           MessageIcon::Exclamation);
        });
    }
}

void EditorWindow::loadEntryFields() {
    for (const ItemDescription* item : textItems()) {
        ui_.entryField(*item)->loadText((sheet_.*item->texts)[sheet_.currentLabel]);
    }
    mirrorPriceControls(ui_, sheet_);
    mirrorSaleControls(ui_, sheet_);
    markJanField();
}

void EditorWindow::markJanField() {
    const QString problem = janBarsProblem(ui_.Text1->text());
    ui_.Text1->setStyleSheet(
        problem.isEmpty() ? QString() : QStringLiteral("QLineEdit { border: 2px solid red; }"));
    if (!problem.isEmpty()) {
        say(QStringLiteral("ラベル %1 の JAN コード「%2」はバーコードなしで印刷されます（%3）。")
                .arg(sheet_.currentLabel)
                .arg(ui_.Text1->text(), problem));
    }
}

bool EditorWindow::storeField(EntryField* field) {
    const int n = sheet_.currentLabel;
    QString text = field->text();
    if (field == ui_.Text1) {
        const QString completed = completeJanCheckDigit(text);
        if (completed != text) {
            field->setText(completed);
            say(checkDigitNote(text, completed));
            text = completed;
        }
    }
    QStringList filled;
    for (const ItemDescription* item : textItems()) {
        if (ui_.entryField(*item) == field) {
            edit(QStringLiteral("入力"), [&] {
                (sheet_.*item->texts)[n] = text;
                if (field == ui_.Text1) {
                    filled = fillFromMaster(n, text);
                }
            });
        }
    }
    if (!filled.isEmpty()) {
        loadEntryFields();
        say(QStringLiteral("商品マスタから%1を入れました。").arg(filled.join(u'、')));
        commands_->redraw();
        commands_->markCurrentLabel();
        return true;
    }
    if (field == ui_.Text1) {
        markJanField();
        if (!masterProblem_.isEmpty()) {
            say(QStringLiteral("JAN コード「%1」の商品を商品マスタから引けませんでした: %2")
                    .arg(text, masterProblem_));
        } else if (masterUnknown_ && sheet_.productText[n].isEmpty()) {
            unknownCodes_.insert(text);
            say(QStringLiteral("ラベル %1 の JAN コード「%2」は商品マスタにありません。Enter で"
                               "メーカーから順に入れてください。次の商品を読み取ると、次の"
                               "ラベルに入ります。")
                    .arg(n)
                    .arg(text));
            redrawPreview();
        }
    }
    if (field == ui_.Text5 && pricesAreComputed(sheet_.layout) && !text.trimmed().isEmpty() &&
        !wholeYen(text)) {
        say(QStringLiteral("売価「%1」は円の整数ではないため、計算せずに入力どおり印刷します。")
                .arg(text));
    }
    return false;
}

void EditorWindow::redrawPreview() {
    commands_->redraw();
    commands_->markCurrentLabel();
}

bool EditorWindow::awaitsTexts(int n) const {
    return !sheet_.janText[n].isEmpty() && unknownCodes_.contains(sheet_.janText[n]) &&
           sheet_.productText[n].isEmpty();
}

void EditorWindow::storeFocusedField() {
    // The window's own focus child: a dialog that has the focus for the moment leaves it.
    // Only typing needs storing; a field that shows its label's text as loaded stays as it is.
    auto* field = qobject_cast<EntryField*>(focusWidget());
    if (field != nullptr && field->isModified()) {
        storeField(field);
    }
    for (QLineEdit* sale : ui_.saleFields()) {
        if (sale == focusWidget() && sale->isModified()) {
            storeSaleField(*this, sale);
        }
    }
}

void EditorWindow::runMenuCommand(const std::function<void()>& command) {
    if (closing_) {
        return;
    }
    storeFocusedField();
    const bool wasQuiet = std::exchange(quietFocusMove_, true);
    command();
    quietFocusMove_ = wasQuiet;
}

void EditorWindow::showWholeSheet() {
    fitting_ = true;
    preview_->setWholePage(true);
    fitWholeSheet();
}

void EditorWindow::fitWholeSheet() {
    commands_->setZoom(preview_->zoomToFit());
    preview_->HScroll1().setValue(0);
    preview_->VScroll1().setValue(0);
    commands_->redraw();
    commands_->markCurrentLabel();
}

void EditorWindow::say(const QString& text) {
    statusBar()->showMessage(text);
    saidSinceReport_ = true;
}

void EditorWindow::showLabelReport(const SheetReport& report) {
    QStringList marked;
    for (const LabelReport& label : report) {
        if (label.marked()) {
            marked << QString::number(label.label);
        }
    }
    ui_.重なりの説明->setText(
        QStringLiteral("ラベル %1 は、文字が重なるか、ラベルからはみ出して印刷されます"
                       "（プレビューの赤い枠）。")
            .arg(marked.join(u'、')));
    ui_.枠内に収める->setVisible(!sheet_.layout.fitPrice);
    ui_.重なりの知らせ->setVisible(!marked.isEmpty());

    // The status bar names what this redraw found that the last one did not, after the note
    // of the command that caused it, if any.
    const QStringList lines = reportLines(report);
    QStringList fresh;
    for (const QString& line : lines) {
        if (!toldReports_.contains(line)) {
            fresh << line;
        }
    }
    toldReports_ = lines;
    const bool earlier = std::exchange(saidSinceReport_, false);
    if (fresh.isEmpty()) {
        return;
    }
    QString note = fresh.first();
    if (fresh.size() > 1) {
        note += QStringLiteral("（ほかに %1 枚のラベルにも）").arg(fresh.size() - 1);
    }
    const QString before = earlier ? statusBar()->currentMessage() : QString();
    statusBar()->showMessage(before.isEmpty() ? note : before + QStringLiteral("　") + note);
}

void EditorWindow::returnToLabel1() {
    storeFocusedField();
    sheet_.currentLabel = 1;
    loadEntryFields();
    const bool wasQuiet = std::exchange(quietFocusMove_, true);
    focusText1();
    quietFocusMove_ = wasQuiet;
}

void EditorWindow::setFileName(const QString& name) {
    sheet_.fileName = name;
    refreshTitle();
}

void EditorWindow::refreshTitle() {
    setWindowTitle((isModified() ? QStringLiteral("*") : QString()) + kTitlePrefix +
                   sheet_.fileName);
}

void EditorWindow::mirrorCaptions() {
    const Layout& l = sheet_.layout;
    for (const ItemDescription& item : items()) {
        const ItemControls& controls = ui_.controlsOf(item);
        controls.shown->setText(caption::ofShown(l.*item.shown));
        if (item.underline != nullptr) {
            controls.underline->setText(caption::ofUnderline(l.*item.underline));
        }
    }
    ui_.縁取->setText(caption::ofOutline(l.縁取));
    {
        const QSignalBlocker blocker(ui_.単位価格の端数);
        ui_.単位価格の端数->setCurrentIndex(static_cast<int>(l.unitPriceRounding));
    }
    ui_.BARCODE->setText(caption::ofShown(sheet_.BARCODE));
    ui_.倍率->setText(commands_->zoomCaption());
    ui_.x座標調整->setText(l.x座標調整);
    ui_.y座標調整->setText(l.y座標調整);
    showSheetShift();
    mirrorPriceControls(ui_, sheet_);
    mirrorSaleControls(ui_, sheet_);
}

void EditorWindow::showSheetShift() {
    ui_.x座標調整->setToolTip(
        QStringLiteral("ボタンで動かした回数。ラベル 1 の左上の角は、今は用紙の左端から %1 mm")
            .arg(sheet_.sheetX, 0, 'f', 1));
    ui_.y座標調整->setToolTip(
        QStringLiteral("ボタンで動かした回数。ラベル 1 の左上の角は、今は用紙の上端から %1 mm")
            .arg(sheet_.sheetY, 0, 'f', 1));
}

void EditorWindow::rememberSheetShift() {
    const SheetOrigin shift{sheet_.sheetX, sheet_.sheetY};
    if (shift == rememberedShift_ || settings_.userDir.isEmpty()) {
        return;
    }
    const FileResult saved = zukaro::rememberSheetShift(settings_.userDir, shift);
    if (!saved.ok) {
        say(QStringLiteral(
                "用紙の位置を保存できませんでした。次に開いたときは前の位置に戻ります。") +
            saved.error);
        return;
    }
    rememberedShift_ = shift;
}

void EditorWindow::onClick(QPushButton* button, std::function<void()> command) {
    connect(button, &QPushButton::clicked, this, [this, button, command = std::move(command)] {
        if (closing_) {
            return;
        }
        if (QApplication::focusWidget() != button) {
            button->setFocus(Qt::OtherFocusReason);
        }
        command();
    });
}

void EditorWindow::onMenu(QAction* action, std::function<void()> command) {
    connect(action, &QAction::triggered, this,
            [this, command = std::move(command)] { runMenuCommand(command); });
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    runMenuCommand([] {});
    if (!confirmDiscard()) {
        event->ignore();
        return;
    }
    // The fields must not store or move on while the window goes away.
    closing_ = true;
    saveWindowPlace();
    for (EntryField* field : ui_.fieldsInTabOrder()) {
        field->onLostFocus = nullptr;
        field->onGotFocus = nullptr;
    }
    event->accept();
}

}  // namespace zukaro
