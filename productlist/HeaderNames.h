#pragma once

#include <QString>
#include <QStringView>
#include <optional>

#include "ProductColumn.h"

// The names by which a header row announces its columns.
namespace zukaro {

// A header cell reduced for comparison: NFKC (full-width letters and digits to half-width,
// half-width katakana to full-width), case folded, every blank removed.
QString normaliseHeader(QStringView cell);

// The column a header cell names, or nothing:
//   JAN      JAN, JANコード, JAN CODE, バーコード, 商品コード
//   maker    メーカー, メーカー名           product  品名, 商品名
//   spec     規格, 容量, サイズ             lot      ロット, 品番
//   price    売価, 価格, 単価, 本体価格     copies   枚数, 部数
//   tax rate 税率, 消費税率
std::optional<ProductColumn> columnForHeader(QStringView cell);

}  // namespace zukaro
