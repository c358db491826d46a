#include "StartScreen.h"

#include <QAction>
#include <QDesktopServices>
#include <QEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "DesignGeometry.h"
#include "Help01.h"
#include "SamplePicture.h"
#include "WindowFit.h"

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

    auto* inside = inside_ = new QWidget(this);
    const int width = twipsToPixels(10170);
    inside->setFixedWidth(width);
    inside->setMaximumHeight(twipsToPixels(7665));
    // On a small screen (1366 x 768 at 150 %) the picture gives up to half its height, so that
    // the window with its title bar, and 作成 and 終了 with it, stay on the screen.
    inside->setMinimumHeight(twipsToPixels(7665 - 6375 / 2));
    inside->resize(width, twipsToPixels(7665));
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

    Command1 = new QPushButton(QStringLiteral("作成"), inside);
    Command1->setObjectName(QStringLiteral("Command1"));
    placeControl(*Command1, designRect(1200, 7080, 1935, 375), Grow::BothSides, width);
    connect(Command1, &QPushButton::clicked, this, &StartScreen::Command1_Click);

    Command4 = new QPushButton(QStringLiteral("終了"), inside);
    Command4->setObjectName(QStringLiteral("Command4"));
    placeControl(*Command4, designRect(3480, 7080, 1455, 375), Grow::BothSides, width);
    connect(Command4, &QPushButton::clicked, this, &StartScreen::Command4_Click);

    command1Top_ = Command1->y();
    command4Top_ = Command4->y();
    layOutForHeight(inside->height());
    inside->installEventFilter(this);
    // As designed, as far as the screen has room.
    resize(width, menuBar()->sizeHint().height() + twipsToPixels(7665));
    keepInsideScreen(*this);
}

bool StartScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == inside_ && event->type() == QEvent::Resize) {
        layOutForHeight(inside_->height());
    }
    return QMainWindow::eventFilter(watched, event);
}

void StartScreen::layOutForHeight(int height) {
    const int shrink = std::max(0, twipsToPixels(7665) - height);
    if (shrink == pictureShrink_) {
        return;
    }
    pictureShrink_ = shrink;
    Picture1->setGeometry(designRect(240, 480, 9615, 6375).adjusted(0, 0, 0, -shrink));
    Picture1->setPixmap(samplePicture(Picture1->contentsRect().size(), devicePixelRatioF()));
    Command1->move(Command1->x(), command1Top_ - shrink);
    Command4->move(Command4->x(), command4Top_ - shrink);
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
