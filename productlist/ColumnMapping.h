#pragma once

#include <QSettings>
#include <QStringList>
#include <array>
#include <optional>

#include "ProductColumn.h"
#include "SourceTable.h"

namespace zukaro {

// Which column of a source table holds what, and which row is the header. Detected from the
// table, changed by the user, remembered per header.
class ColumnMapping {
public:
    // How many rows from the top detect() looks at for the header.
    static constexpr int kHeaderSearchRows = 10;

    // No header; JAN, maker, product, spec, lot and price in the first six columns.
    static ColumnMapping positional();

    // The mapping a header row announces (see columnForHeader; of two cells naming the same
    // thing the one of the better rank wins, then the first), or nothing when no cell is a
    // known name.
    static std::optional<ColumnMapping> fromHeader(const QStringList& cells);

    // The header is the first row when one of its cells is a known name, else the first of
    // the next nine rows with two known names; without one, positional(). With `remembered`,
    // a mapping remembered for that header replaces the announced one.
    static ColumnMapping detect(const SourceTable& table, QSettings* remembered = nullptr);

    // The header row's index in the table's rows, -1 when there is none. Rows before it are
    // not products.
    int headerRow() const { return headerRow_; }
    void setHeaderRow(int row) { headerRow_ = row; }

    // How many cells the detected header has, 0 when unknown (no header, or one chosen by
    // hand). A row with text beyond it has more fields than the header names: usually a
    // price written with a comma and not quoted, which moves every cell after it.
    int headerWidth() const { return headerWidth_; }

    // The zero-based column, -1 when the list has none.
    int column(ProductColumn what) const { return columns_[indexOf(what)]; }
    void setColumn(ProductColumn what, int index) {
        columns_[indexOf(what)] = index < 0 ? -1 : index;
    }

    // Stores the columns under the normalised header, so that the next list with the same
    // header gets them back.
    void remember(QSettings& settings, const QStringList& header) const;

    // The columns remembered for this header (header row left at -1), or nothing when none
    // are, or what is stored does not fit the header. A column remembered by a version that
    // did not read it yet (no entry at all: the sale columns) is `unsaid`'s, when given, and
    // else none.
    static std::optional<ColumnMapping> recall(QSettings& settings, const QStringList& header,
                                               const ColumnMapping* unsaid = nullptr);

    // The same columns and header row; the header's width is what was seen, not a choice.
    bool operator==(const ColumnMapping& other) const {
        return columns_ == other.columns_ && headerRow_ == other.headerRow_;
    }

private:
    std::array<int, kProductColumns.size()> columns_ = [] {
        std::array<int, kProductColumns.size()> none{};
        none.fill(-1);
        return none;
    }();
    int headerRow_ = -1;
    int headerWidth_ = 0;
};

}  // namespace zukaro
