// Element nudges (1 mm per click) and the sheet shifts with their step boxes.
#include <QLineEdit>
#include <QPushButton>
#include <limits>
#include <optional>

#include "EditorWindow.h"
#include "FileSafeValidator.h"

namespace zukaro {
namespace {

// Offsets stop at the 16-bit bounds; a click there does nothing.
constexpr int kOffsetLimit = std::numeric_limits<std::int16_t>::max();
constexpr int kBoxTypingMergeId = 1;

void nudge(EditorWindow& window, std::int16_t& offset, int step) {
    const int moved = offset + step;
    if (moved > kOffsetLimit || moved < -kOffsetLimit) {
        return;
    }
    window.edit(QStringLiteral("位置"),
                [&offset, moved] { offset = static_cast<std::int16_t>(moved); });
    window.showPreview();
}

// The step count a box holds: an empty box counts as 0; any other text that is not a
// number leaves the shift buttons without effect.
std::optional<double> boxSteps(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return 0.0;
    }
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// 1 for "+", -1 for "-": the box counts the steps, the sheet moves 1 mm per step, and the
// box may not pass 10 steps either way.
void shiftSheet(EditorWindow& window, QString& box, double& sheetOffset, int direction) {
    const std::optional<double> steps = boxSteps(box);
    if (!steps || (direction > 0 && *steps >= 10) || (direction < 0 && *steps <= -10)) {
        return;
    }
    window.edit(QStringLiteral("印字位置"), [&, steps] {
        box = QString::number(*steps + direction, 'g', 15);
        sheetOffset += direction;
    });
    window.mirrorCaptions();
    window.showPreview();
}

}  // namespace

void wirePositionButtons(EditorWindow& window) {
    const EditorControls& ui = window.controls();
    Layout& layout = window.sheet().layout;

    const auto wireNudges = [&window](const NudgeButtons& buttons, std::int16_t* x,
                                      std::int16_t* y) {
        window.onClick(buttons.right, [&window, x] { nudge(window, *x, 1); });
        window.onClick(buttons.left, [&window, x] { nudge(window, *x, -1); });
        window.onClick(buttons.down, [&window, y] { nudge(window, *y, 1); });
        window.onClick(buttons.up, [&window, y] { nudge(window, *y, -1); });
    };
    for (const ItemDescription& item : items()) {
        wireNudges(ui.controlsOf(item).nudges, &(layout.*item.x), &(layout.*item.y));
    }
    wireNudges(ui.barNudges, &(layout.*bars().x), &(layout.*bars().y));

    SheetState& sheet = window.sheet();
    window.onClick(ui.xプラス, [&window, &layout, &sheet] {
        shiftSheet(window, layout.x座標調整, sheet.sheetX, 1);
    });
    window.onClick(ui.xマイナス, [&window, &layout, &sheet] {
        shiftSheet(window, layout.x座標調整, sheet.sheetX, -1);
    });
    window.onClick(ui.yプラス, [&window, &layout, &sheet] {
        shiftSheet(window, layout.y座標調整, sheet.sheetY, 1);
    });
    window.onClick(ui.yマイナス, [&window, &layout, &sheet] {
        shiftSheet(window, layout.y座標調整, sheet.sheetY, -1);
    });

    // What the user types into a box is the box's text; it moves nothing by itself. The
    // typing in one box makes one step to undo.
    int mergeId = kBoxTypingMergeId;
    for (const auto& [box, text] :
         {std::pair{ui.x座標調整, &layout.x座標調整}, std::pair{ui.y座標調整, &layout.y座標調整}}) {
        box->setValidator(new FileSafeValidator(box));
        QObject::connect(box, &QLineEdit::textChanged, box,
                         [&window, text = text, id = mergeId++](const QString& typed) {
                             window.edit(
                                 QStringLiteral("印字位置"), [text, &typed] { *text = typed; }, id);
                         });
    }
}

}  // namespace zukaro
