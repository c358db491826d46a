#pragma once

#include <QDialog>

#include "CommonDialog1.h"

class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLabel;

namespace zukaro {

// The font dialog of the style buttons: face, style (標準, 斜体, 太字, 太字 斜体) and size,
// with a sample. Every face offers all four styles, as the label printer draws bold and
// italic for faces that have no such cut (the IPA faces have only one); Qt's own font dialog
// lists only the cuts a face really has and whole sizes.
class FontChoiceDialog final : public QDialog {
    Q_OBJECT

public:
    explicit FontChoiceDialog(const FontChoice& preset, QWidget* parent = nullptr);

    // The choice as shown, with the layout's own face name kept while its stand-in face is
    // selected (a layout made with "ＭＳ 明朝" still says so).
    FontChoice choice() const;

private:
    void updateSample();

    QString presetName_;
    QFontComboBox* family_;
    QComboBox* style_;
    QDoubleSpinBox* size_;
    QLabel* sample_;
};

}  // namespace zukaro
