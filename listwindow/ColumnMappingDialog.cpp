#include "ColumnMappingDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace zukaro {
namespace {

// "A", "B", ... "Z", "AA" as a spreadsheet names its columns.
QString columnLetters(int index) {
    QString letters;
    for (int n = index + 1; n > 0; n = (n - 1) / 26) {
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    }
    return letters;
}

}  // namespace

ColumnMappingDialog::ColumnMappingDialog(const SourceTable& table, const ColumnMapping& mapping,
                                         QWidget* parent)
    : QDialog(parent), detected_(mapping), headerRow_(mapping.headerRow()) {
    setObjectName(QStringLiteral("列の割り当て"));
    setWindowTitle(QStringLiteral("列の割り当て"));
    // The header row, or the first row, names the columns.
    const int namingRow = std::max(headerRow_, 0);
    QStringList names;
    int columns = 0;
    for (const SourceRow& row : table.rows) {
        columns = std::max(columns, static_cast<int>(row.cells.size()));
    }
    for (int c = 0; c < columns; ++c) {
        const QString cell = table.rows.empty()
                                 ? QString()
                                 : table.rows[static_cast<std::size_t>(namingRow)].cells.value(c);
        names << QStringLiteral("%1 列: %2").arg(columnLetters(c), cell.left(20));
    }

    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < kProductColumns.size(); ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(settingsKey(kProductColumns[i]));
        box->addItem(QStringLiteral("（なし）"));
        box->addItems(names);
        box->setCurrentIndex(mapping.column(kProductColumns[i]) + 1);
        form->addRow(displayName(kProductColumns[i]), box);
        choices_[i] = box;
    }
    hasHeader_ = new QCheckBox(
        QStringLiteral("%1 行目は見出し")
            .arg(table.rows.empty() ? 1 : table.rows[static_cast<std::size_t>(namingRow)].line),
        this);
    hasHeader_->setObjectName(QStringLiteral("見出し行"));
    hasHeader_->setChecked(headerRow_ >= 0);
    if (headerRow_ < 0) {
        headerRow_ = 0;  // checking the box makes the first row the header
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hasHeader_);
    layout->addWidget(buttons);
}

ColumnMapping ColumnMappingDialog::mapping() const {
    ColumnMapping chosen = detected_;
    for (std::size_t i = 0; i < kProductColumns.size(); ++i) {
        chosen.setColumn(kProductColumns[i], choices_[i]->currentIndex() - 1);
    }
    chosen.setHeaderRow(hasHeader_->isChecked() ? headerRow_ : -1);
    return chosen;
}

}  // namespace zukaro
