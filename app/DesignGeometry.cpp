#include "DesignGeometry.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>
#include <algorithm>

#include "FontNames.h"

namespace zukaro {
namespace {

QString textOf(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return button->text();
    }
    return {};
}

}  // namespace

QFont designFont() {
    return QFont(QString::fromStdString(draw::installedFace("ＭＳ Ｐゴシック")), 9);
}

void placeControl(QWidget& control, const QRect& design, Grow grow, int maxRight) {
    QRect rect = design;
    const QString text = textOf(control);
    if (!text.isEmpty()) {
        // The size hint holds the text plus the control's own frame and margins.
        const int needed = std::max(control.sizeHint().width(), design.width());
        const int room = std::max(0, maxRight - design.left());
        if (grow == Grow::Right) {
            rect.setWidth(std::max(design.width(), std::min(needed, room)));
        } else {
            const int centre = design.left() + design.width() / 2;
            const int width = std::min(needed, maxRight);
            const int left = std::clamp(centre - width / 2, 0, std::max(0, maxRight - width));
            rect = QRect(left, design.top(), width, design.height());
        }
    }
    control.setGeometry(rect);
}

}  // namespace zukaro
