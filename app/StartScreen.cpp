#include "StartScreen.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include "DesignGeometry.h"
#include "Help01.h"
#include "SamplePicture.h"

namespace zukaro {
namespace {

// Un-minimises a window and puts it in front of the others.
void bringToFront(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

StartScreen::StartScreen(EditorFactory makeEditor, const QUrl& manual, QWidget* parent)
    : QMainWindow(parent),
      makeEditor_(std::move(makeEditor)),
      manual_(manual),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("zukaro"));
    setWindowTitle(QStringLiteral("ズカロ(A4-21面版） Ver1.1"));
    setFont(designFont());

    HELP1 = menuBar()->addAction(QStringLiteral("使い方"));
    HELP1->setObjectName(QStringLiteral("HELP1"));
    connect(HELP1, &QAction::triggered, this, &StartScreen::HELP1_Click);

    auto* inside = new QWidget(this);
    const int width = twipsToPixels(10170);
    inside->setFixedSize(width, twipsToPixels(7665));
    setCentralWidget(inside);

    // The caption says what opens; the address itself is in the tool tip.
    Command5 = new QPushButton(QStringLiteral("使い方の説明書を開く"), inside);
    Command5->setObjectName(QStringLiteral("Command5"));
    Command5->setToolTip(manual.isLocalFile() ? QDir::toNativeSeparators(manual.toLocalFile())
                                              : manual.toString());
    placeControl(*Command5, designRect(3720, 120, 3015, 255), Grow::BothSides, width);
    connect(Command5, &QPushButton::clicked, this, &StartScreen::Command5_Click);

    Picture1 = new QLabel(inside);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(designRect(240, 480, 9615, 6375));
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setPixmap(samplePicture(Picture1->contentsRect().size(), devicePixelRatioF()));

    Command1 = new QPushButton(QStringLiteral("作成"), inside);
    Command1->setObjectName(QStringLiteral("Command1"));
    placeControl(*Command1, designRect(1200, 7080, 1935, 375), Grow::BothSides, width);
    connect(Command1, &QPushButton::clicked, this, &StartScreen::Command1_Click);

    Command4 = new QPushButton(QStringLiteral("終了"), inside);
    Command4->setObjectName(QStringLiteral("Command4"));
    placeControl(*Command4, designRect(3480, 7080, 1455, 375), Grow::BothSides, width);
    connect(Command4, &QPushButton::clicked, this, &StartScreen::Command4_Click);
}

void StartScreen::setUrlOpener(UrlOpener open) {
    openUrl_ = std::move(open);
}

QWidget* StartScreen::editorWindow() const {
    return editor_.data();
}

QWidget* StartScreen::helpWindow() const {
    return help_.data();
}

void StartScreen::Command1_Click() {
    if (!editor_) {
        editor_ = makeEditor_ ? makeEditor_() : nullptr;
        if (!editor_) {
            return;
        }
        // Closing the editor ends it; the next 作成 starts a fresh one.
        editor_->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringToFront(*editor_);
}

void StartScreen::Command4_Click() {
    close();
}

void StartScreen::Command5_Click() {
    const QUrl& address = manual_;
    if (address.isLocalFile() && !QFileInfo(address.toLocalFile()).isFile()) {
        tell(QStringLiteral("説明書のファイルが見つかりません。\n%1")
                 .arg(QDir::toNativeSeparators(address.toLocalFile())));
        return;
    }
    if (!openUrl_(address)) {
        tell(QStringLiteral(
                 "説明書を開けませんでした。\nブラウザーで次のアドレスを開いてください。\n%1")
                 .arg(address.toString()));
    }
}

void StartScreen::HELP1_Click() {
    if (!help_) {
        help_ = new Help01;
        help_->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringToFront(*help_);
}

void StartScreen::tell(const QString& text) {
    // Not modal for the program: the editor and the help window stay usable meanwhile.
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("エラー"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->show();
}

}  // namespace zukaro
