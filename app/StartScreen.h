#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <functional>

class QAction;
class QLabel;
class QPushButton;

namespace zukaro {

// Makes a new label editor window: a top-level window without a parent.
using EditorFactory = std::function<QWidget*()>;
// Opens an address in the user's browser without waiting; false when it could not start.
using UrlOpener = std::function<bool(const QUrl&)>;

// The first window: a picture of a label sheet, 作成 (open the label editor), 終了 (close
// this window only), a button at the top that opens the manual, and the menu 使い方.
// It holds no data: the editor and the help window live on their own once shown, and the
// program ends with whichever window is closed last.
class StartScreen final : public QMainWindow {
public:
    StartScreen(EditorFactory makeEditor, const QUrl& manual, QWidget* parent = nullptr);

    // Replaces the browser launch (QDesktopServices), e.g. for tests.
    void setUrlOpener(UrlOpener open);

    // The editor and help windows while they are open, else null.
    QWidget* editorWindow() const;
    QWidget* helpWindow() const;

    void Command1_Click();
    void Command4_Click();
    void Command5_Click();
    void HELP1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tell(const QString& text);
    // The picture at the height the window has room for, the buttons below it.
    void layOutForHeight(int height);

    EditorFactory makeEditor_;
    QUrl manual_;
    UrlOpener openUrl_;
    QPointer<QWidget> editor_;
    QPointer<QWidget> help_;

    QWidget* inside_;
    int pictureShrink_ = -1;  // how much the picture gave up for a small screen
    int command1Top_ = 0;     // where the buttons stand in the design
    int command4Top_ = 0;
    QPushButton* Command5;
    QLabel* Picture1;
    QPushButton* Command1;
    QPushButton* Command4;
    QAction* HELP1;
};

}  // namespace zukaro
