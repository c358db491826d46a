#include "FontChoiceDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "FontNames.h"

namespace zukaro {
namespace {

// Style entries in the order of the platform's own font dialog; the index holds the flags.
constexpr int kItalicBit = 1;
constexpr int kBoldBit = 2;

QString installedFamily(const QString& name) {
    return QString::fromStdString(draw::installedFace(name.toStdString()));
}

}  // namespace

FontChoiceDialog::FontChoiceDialog(const FontChoice& preset, QWidget* parent)
    : QDialog(parent),
      presetName_(preset.name),
      family_(new QFontComboBox(this)),
      style_(new QComboBox(this)),
      size_(new QDoubleSpinBox(this)),
      sample_(new QLabel(QStringLiteral("棚札 ＪＡＮ 1980円 Aa"), this)) {
    setWindowTitle(QStringLiteral("フォント"));
    family_->setObjectName(QStringLiteral("family"));
    style_->setObjectName(QStringLiteral("style"));
    size_->setObjectName(QStringLiteral("size"));
    sample_->setObjectName(QStringLiteral("sample"));

    family_->setCurrentFont(QFont(installedFamily(preset.name)));
    style_->addItems({QStringLiteral("標準"), QStringLiteral("斜体"), QStringLiteral("太字"),
                      QStringLiteral("太字 斜体")});
    style_->setCurrentIndex((preset.bold ? kBoldBit : 0) | (preset.italic ? kItalicBit : 0));
    size_->setRange(1, 999);
    size_->setDecimals(1);
    size_->setValue(preset.size > 0 ? preset.size : 9);
    sample_->setMinimumHeight(80);
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setFrameShape(QFrame::StyledPanel);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("フォント名(&F):"), family_);
    form->addRow(QStringLiteral("スタイル(&Y):"), style_);
    form->addRow(QStringLiteral("サイズ(&S):"), size_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sample_);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(family_, &QFontComboBox::currentFontChanged, this, [this] { updateSample(); });
    connect(style_, &QComboBox::currentIndexChanged, this, [this] { updateSample(); });
    connect(size_, &QDoubleSpinBox::valueChanged, this, [this] { updateSample(); });
    updateSample();
}

FontChoice FontChoiceDialog::choice() const {
    FontChoice c;
    const QString family = family_->currentFont().family();
    c.name = family == installedFamily(presetName_) ? presetName_ : family;
    c.size = size_->value();
    c.bold = (style_->currentIndex() & kBoldBit) != 0;
    c.italic = (style_->currentIndex() & kItalicBit) != 0;
    return c;
}

void FontChoiceDialog::updateSample() {
    const FontChoice c = choice();
    QFont font(installedFamily(c.name));
    font.setPointSizeF(c.size);
    font.setBold(c.bold);
    font.setItalic(c.italic);
    sample_->setFont(font);
}

}  // namespace zukaro
