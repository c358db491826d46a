#include "EditorWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "CommonDialog1.h"
#include "EntryField.h"
#include "FontNames.h"
#include "MessageBoxes.h"

namespace zukaro {
namespace {

const QString kTitlePrefix = QStringLiteral("ズカロ入力画面  ");

}  // namespace

EditorWindow::EditorWindow(CommonDialog1& dialog, MessageBoxes& messages, QWidget* parent)
    : QMainWindow(parent), dialog_(dialog), messages_(messages) {
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

    wireEntryFields(*this);
    wireLabelButtons(*this);
    wireStyleButtons(*this);
    wirePositionButtons(*this);
    connect(ui_.Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_.MNUEXIT, &QAction::triggered, this, &QWidget::close);

    startUp();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::startUp() {
    sheet_.clearAllLabels();
    sheet_.currentLabel = 1;
    mirrorCaptions();
    loadEntryFields();
    setFileName(QStringLiteral("無題"));
    ui_.Label6->setText(QStringLiteral("1/21"));
    sheet_.zoom = 0.5;
    // The window opens with the focus in the JAN field; its first activation draws the
    // real preview.
    ui_.Text1->setFocus(Qt::OtherFocusReason);
}

void EditorWindow::showPreview() {
    sheet_.printMode = QStringLiteral("0");
    drawPreviewSheet();
    ui_.Text1->setFocus(Qt::OtherFocusReason);
}

void EditorWindow::showCurrentLabel() {
    firstPreviewShown_ = true;
    showPreview();
    drawCurrentLabelFrame();
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
    if (!firstPreviewShown_) {
        showCurrentLabel();
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
