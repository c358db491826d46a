#include "ScriptedMessageBoxes.h"

namespace zukaro {

bool ScriptedMessageBoxes::askYesNo(const QString& caption, const QString& text, MessageIcon icon,
                                    bool yesIsDefault) {
    shown_.append({true, caption, text, icon, yesIsDefault});
    return answers_.isEmpty() ? yesIsDefault : answers_.takeFirst();
}

void ScriptedMessageBoxes::tell(const QString& caption, const QString& text, MessageIcon icon) {
    shown_.append({false, caption, text, icon, false});
}

}  // namespace zukaro
