#pragma once

#include <QWidget>

class QLabel;

namespace zukaro {

// The small help window "使い方": two lines pointing the user to the manual's address at
// the top of the start screen. No buttons; it closes with its close box.
class Help01 final : public QWidget {
public:
    explicit Help01(QWidget* parent = nullptr);

private:
    QLabel* Label1;
    QLabel* Label2;
};

}  // namespace zukaro
