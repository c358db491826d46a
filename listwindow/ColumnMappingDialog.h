#pragma once

#include <QDialog>
#include <array>

#include "ColumnMapping.h"
#include "SourceTable.h"

class QCheckBox;
class QComboBox;

namespace zukaro {

// 列の割り当て: which column of the list holds the JAN code, the maker and so on, and whether
// the list has a header row. Each choice names the column by its letter and its header (or
// first cell).
class ColumnMappingDialog final : public QDialog {
public:
    ColumnMappingDialog(const SourceTable& table, const ColumnMapping& mapping,
                        QWidget* parent = nullptr);

    // What the user chose.
    ColumnMapping mapping() const;

private:
    ColumnMapping detected_;
    int headerRow_;
    std::array<QComboBox*, kProductColumns.size()> choices_{};
    QCheckBox* hasHeader_ = nullptr;
};

}  // namespace zukaro
