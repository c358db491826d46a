#include "PlaceholderEditor.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace zukaro {

QWidget* makePlaceholderEditor() {
    auto* window = new QWidget;
    window->setObjectName(QStringLiteral("ズカロ入力"));
    window->setWindowTitle(QStringLiteral("ズカロ入力画面  無題"));
    auto* note = new QLabel(QStringLiteral("ラベル入力画面は準備中です。"), window);
    note->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(note);
    window->resize(640, 400);
    return window;
}

}  // namespace zukaro
