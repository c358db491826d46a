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

// The column a header cell names, or nothing. The names shops and the common registers'
// product exports write (compared as normaliseHeader makes them):
//   JAN       JAN, JANコード, JAN CODE, バーコード, バーコード番号, JANCD, 商品コード (*)
//   maker     メーカー, メーカー名          product   品名, 商品名
//   spec      規格, 容量, サイズ             lot       ロット, 品番
//   price     売価, 価格, 単価, 本体価格, 商品単価, 販売価格, 販売単価, 売単価
//   税込価格   税込価格, 税込売価, 税込単価  税抜価格   税抜価格, 税抜売価, 税抜単価
//   copies    枚数, 部数
//   tax rate  税率, 消費税率, 適用税率, 税率区分
//   tax kind  税区分, 税設定, 課税区分, 消費税区分, 内外区分
//   sale      特売価格, セール価格, 特売売価, 特価; 特売開始日, 開始日, セール開始日;
//             特売終了日, 終了日, セール終了日; 通常価格, 通常売価
//   軽減      軽減税率対象, 軽減対象 (○/×, 1/0, 対象/対象外)
// (*) A register's 商品コード may be its own code; when a header also has a バーコード or
// JAN column, that one is the JAN code.
std::optional<ProductColumn> columnForHeader(QStringView cell);

// How strongly a header cell claims its column: 0 for most names, 1 for 商品コード. Of two
// cells naming the same column, the lower rank wins.
int headerRank(QStringView cell);

}  // namespace zukaro
