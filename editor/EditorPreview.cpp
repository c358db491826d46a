// Drawing on the preview: placeholder until the preview surface is plugged in.
#include "EditorWindow.h"

namespace zukaro {

void EditorWindow::drawPreviewSheet() {}
void EditorWindow::drawCurrentLabelFrame() {}

}  // namespace zukaro
