#include "Help01.h"

#include <QLabel>

#include "DesignGeometry.h"

namespace zukaro {

Help01::Help01(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("help01"));
    setWindowTitle(QStringLiteral("使い方"));
    setFont(designFont());
    const int width = twipsToPixels(4680);
    setFixedSize(width, twipsToPixels(2175));

    Label1 = new QLabel(QStringLiteral("使い方やバージョンアップについては"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    placeControl(*Label1, designRect(720, 840, 3615, 375), Grow::Right, width);

    // The start screen has a button for the manual, not an address to click.
    Label2 = new QLabel(QStringLiteral("はじめの画面の「使い方の説明書を開く」ボタンを押してください"),
                        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setGeometry(designRect(720, 1200, 3615, 855));
}

}  // namespace zukaro
