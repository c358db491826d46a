#include "EditorWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <utility>

#include "CommandBindings.h"
#include "CommonDialog1.h"
#include "EntryField.h"
#include "FontNames.h"
#include "JanCompletion.h"
#include "MessageBoxes.h"
#include "PreviewPane.h"
#include "SheetCommands.h"

namespace zukaro {
namespace {

const QString kTitlePrefix = QStringLiteral("ズカロ入力画面  ");

}  // namespace

EditorWindow::EditorWindow(CommonDialog1& dialog, MessageBoxes& messages,
                           SettingsLocations settings, QWidget* parent)
    : QMainWindow(parent), dialog_(dialog), messages_(messages), settings_(std::move(settings)) {
    setObjectName(QStringLiteral("ズカロ入力"));
    ui_ = buildEditorControls(this);

    // Field properties of the window design.
    ui_.Text1->setAlignment(Qt::AlignRight);
    ui_.Text5->setAlignment(Qt::AlignRight);
    ui_.Text2->setTypingLimit(6);
    ui_.Text3->setTypingLimit(13);
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
    commands_ =
        std::make_unique<SheetCommands>(sheet_, preview_->picDraw(), dialog_, messages_, printer_);
    commands_->setFocusText1([this] { ui_.Text1->setFocus(Qt::OtherFocusReason); });
    bindSheetCommands(*commands_,
                      {*ui_.プレビュー, *ui_.M_プレビュー, *ui_.印刷, *ui_.P_印刷, *ui_.倍率});

    // Room for the preview: as large as a 1366 x 768 screen allows.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        resize(screen->availableGeometry().size().boundedTo(QSize(1366, 740)).expandedTo(
            minimumSizeHint()));
    }

    wireEntryFields(*this);
    wireLabelButtons(*this);
    wireStyleButtons(*this);
    wirePositionButtons(*this);
    wireFileMenu(*this);
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
    setFileName(QStringLiteral("無題"));
    ui_.Label6->setText(QStringLiteral("1/21"));
    sheet_.zoom = 0.5;
    // The empty numbered sheet; it also puts the sheet at its start-up offsets.
    commands_->showLayoutGuide();
    // The window opens with the focus in the JAN field; its first activation draws the
    // real preview.
    ui_.Text1->setFocus(Qt::OtherFocusReason);
}

void EditorWindow::showPreview() {
    commands_->showPreview();
}

void EditorWindow::showCurrentLabel() {
    firstPreviewShown_ = true;
    showPreview();
    commands_->markCurrentLabel();
    ui_.Label6->setText(QLatin1Char(' ') + QString::number(sheet_.currentLabel) +
                        QStringLiteral("/21"));
    loadEntryFields();
    ui_.前候補->setEnabled(false);
    ui_.Text1->selectFromCaret();
}

void EditorWindow::focusText1() {
    if (QApplication::focusWidget() == ui_.Text1) {
        showCurrentLabel();
    } else {
        ui_.Text1->setFocus(Qt::OtherFocusReason);
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
    const int n = sheet_.currentLabel;
    ui_.Text1->loadText(sheet_.janText[n]);
    ui_.Text2->loadText(sheet_.makerText[n]);
    ui_.Text3->loadText(sheet_.productText[n]);
    ui_.Text4->loadText(sheet_.specText[n]);
    ui_.Text5->loadText(sheet_.priceText[n]);
    ui_.Text6->loadText(sheet_.lotText[n]);
}

void EditorWindow::storeField(EntryField* field) {
    SheetState& sheet = sheet_;
    const int n = sheet.currentLabel;
    if (field == ui_.Text1) {
        const QString completed = completeJanCheckDigit(field->text());
        if (completed != field->text()) {
            field->setText(completed);
        }
        sheet.janText[n] = completed;
    } else if (field == ui_.Text2) {
        sheet.makerText[n] = field->text();
    } else if (field == ui_.Text3) {
        sheet.productText[n] = field->text();
    } else if (field == ui_.Text4) {
        sheet.specText[n] = field->text();
    } else if (field == ui_.Text6) {
        sheet.lotText[n] = field->text();
    } else if (field == ui_.Text5) {
        sheet.priceText[n] = field->text();
    }
}

void EditorWindow::storeFocusedField() {
    for (EntryField* field : ui_.fieldsInTabOrder()) {
        if (QApplication::focusWidget() == field) {
            storeField(field);
        }
    }
}

void EditorWindow::returnToLabel1() {
    storeFocusedField();
    sheet_.currentLabel = 1;
    loadEntryFields();
    quietFocusMove_ = true;
    focusText1();
    quietFocusMove_ = false;
}

void EditorWindow::setFileName(const QString& name) {
    sheet_.fileName = name;
    setWindowTitle(kTitlePrefix + name);
}

void EditorWindow::mirrorCaptions() {
    const Layout& l = sheet_.layout;
    const std::pair<QPushButton*, const QString*> captions[] = {
        {ui_.jan表示, &l.jan表示},         {ui_.メーカー表示, &l.メーカー表示},
        {ui_.品名表示, &l.品名表示},       {ui_.規格表示, &l.規格表示},
        {ui_.ロット表示, &l.ロット表示},   {ui_.単価表示, &l.単価表示},
        {ui_.円表示, &l.円表示},           {ui_.メーカーU表示, &l.メーカーU表示},
        {ui_.品名U表示, &l.品名U表示},     {ui_.規格U表示, &l.規格U表示},
        {ui_.ロットU表示, &l.ロットU表示}, {ui_.縁取, &l.縁取},
        {ui_.BARCODE, &sheet_.BARCODE},    {ui_.倍率, &sheet_.倍率},
    };
    for (const auto& [button, text] : captions) {
        button->setText(*text);
    }
    ui_.x座標調整->setText(l.x座標調整);
    ui_.y座標調整->setText(l.y座標調整);
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

void EditorWindow::closeEvent(QCloseEvent* event) {
    // Unsaved labels are discarded without a question; the fields must not store or move on
    // while the window goes away.
    closing_ = true;
    for (EntryField* field : ui_.fieldsInTabOrder()) {
        field->onLostFocus = nullptr;
        field->onGotFocus = nullptr;
    }
    event->accept();
}

}  // namespace zukaro
