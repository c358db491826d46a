#include "XlsxParts.h"

#include <QDir>
#include <QLocale>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

#include "ShownText.h"

namespace zukaro::xlsx {

namespace {

constexpr int kRowsPerStep = 4096;

const QString& dtdRefusal() {
    static const QString text = QStringLiteral(
        "文書型宣言 (DOCTYPE) があります。Excel のブックにはないもので、中の実体の定義で"
        "データを大きく膨らませられるため、読みません");
    return text;
}

// Our own sentence for what the XML reader found, its own words after it (which can quote a
// piece of the file).
QString xmlError(const QXmlStreamReader& xml) {
    const QString original = withoutControls(xml.errorString());
    QString what;
    switch (xml.error()) {
        case QXmlStreamReader::CustomError:
            what = xml.errorString();  // ours, in Japanese already
            break;
        case QXmlStreamReader::PrematureEndOfDocumentError:
            what = QStringLiteral("XML が途中で終わっています（%1）").arg(original);
            break;
        case QXmlStreamReader::UnexpectedElementError:
            what = QStringLiteral("XML に思いがけない要素があります（%1）").arg(original);
            break;
        default:
            what = QStringLiteral("XML の書き方が正しくありません（%1）").arg(original);
            break;
    }
    return QStringLiteral("XML の %1 行目: %2").arg(xml.lineNumber()).arg(what);
}

// The next token; a document type declaration stops the reading with an error.
QXmlStreamReader::TokenType nextToken(QXmlStreamReader& xml) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::DTD) {
        xml.raiseError(dtdRefusal());
        return QXmlStreamReader::Invalid;
    }
    return token;
}

// A cell's text as it is read, kept up to what is needed for kMaxCellLength characters once
// the _xHHHH_ escapes are undone (seven characters each at most); the rest only counted. A
// text of 50 MB used by every row must not be held row after row.
class CappedText {
public:
    void append(QStringView piece) {
        length_ += piece.size();
        if (raw_.size() < kKept) {
            raw_ += piece.first(std::min(piece.size(), kKept - raw_.size()));
        }
    }
    // The text, unescaped and cut to kMaxCellLength; `whole` is the length it had (0 when it
    // was not cut).
    QString finish(qsizetype& whole) const {
        QString text = unescapeText(raw_);
        whole = length_ > raw_.size() ? length_ : text.size();
        if (whole > kMaxCellLength) {
            cutToCellLength(text);
        } else {
            whole = 0;
        }
        return text;
    }

private:
    static constexpr qsizetype kKept = 7 * kMaxCellLength + 7;
    QString raw_;
    qsizetype length_ = 0;
};

// The text of the element the reader is at, as readElementText would give it, into `text`.
void readCapped(QXmlStreamReader& xml, CappedText& text) {
    while (!xml.atEnd()) {
        switch (nextToken(xml)) {
            case QXmlStreamReader::Characters:
            case QXmlStreamReader::EntityReference:
                text.append(xml.text());
                break;
            case QXmlStreamReader::StartElement:
                xml.raiseError(QStringLiteral("文字だけのはずの要素 <%1> の中に要素があります")
                                   .arg(shownText(xml.name())));
                return;
            case QXmlStreamReader::EndElement:
                return;
            default:
                break;
        }
    }
}

// The text of a shared-string item or an inline string, the reader at its start element:
// the <t> of the item itself or of its rich-text runs; phonetic runs (<rPh>) are skipped.
QString readStringItem(QXmlStreamReader& xml, qsizetype& whole) {
    CappedText text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = nextToken(xml);
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"rPh") {
                xml.skipCurrentElement();
            } else if (xml.name() == u"t") {
                readCapped(xml, text);
            } else {
                ++depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return text.finish(whole);
}

bool isHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isPlainInteger(QStringView s) {
    const qsizetype start = s.startsWith(u'-') ? 1 : 0;
    if (start == s.size()) {
        return false;
    }
    for (qsizetype i = start; i < s.size(); ++i) {
        if (s[i] < u'0' || s[i] > u'9') {
            return false;
        }
    }
    return true;
}

// "A1" for the zero-based column and the row.
QString referenceOf(int column, int line) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) {
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    }
    return letters + QString::number(line);
}

// One cell of a sheet, the reader at <c>.
struct Cell {
    int column = -1;
    QString text;
    QStringList notes;
    qsizetype shared = 0;  // the characters it took from the shared strings
};

Cell readCell(QXmlStreamReader& xml, const SharedStrings& shared, int nextColumn, int line) {
    Cell cell;
    const QXmlStreamAttributes attributes = xml.attributes();
    const QStringView given = attributes.value(QLatin1String("r"));
    cell.column = given.isEmpty() ? nextColumn : columnOfReference(given);
    if (cell.column < 0) {
        cell.column = nextColumn;
    }
    const QString reference = given.isEmpty() ? referenceOf(cell.column, line) : shownText(given);
    const QString type = attributes.value(QLatin1String("t")).toString();
    CappedText capped;
    QString inlineText;
    qsizetype whole = 0;
    bool hasInline = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"v") {
            readCapped(xml, capped);
        } else if (xml.name() == u"is") {
            inlineText = readStringItem(xml, whole);
            hasInline = true;
        } else {
            xml.skipCurrentElement();  // the formula, extensions
        }
    }
    qsizetype valueWhole = 0;
    const QString value = capped.finish(valueWhole);
    if (type == u"s") {
        bool ok = false;
        const int index = value.trimmed().toInt(&ok);
        if (ok && index >= 0 && index < shared.strings.size()) {
            cell.text = shared.strings[index];
            cell.shared = cell.text.size();
            whole = shared.whole.value(index);
        } else {
            cell.notes << QStringLiteral(
                              "セル %1 の共有文字列 %2 がありません。空として読みました。")
                              .arg(reference, shownText(value));
        }
    } else if (type == u"inlineStr") {
        cell.text = hasInline ? inlineText : value;
        whole = hasInline ? whole : valueWhole;
    } else if (type == u"str" || type == u"d") {
        cell.text = value;
        whole = valueWhole;
    } else if (type == u"b") {
        cell.text = value.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    } else if (type == u"e") {
        cell.text = value;
        whole = valueWhole;
        cell.notes
            << QStringLiteral("セル %1 はエラー値 %2 です。").arg(reference, shownText(value));
    } else {
        cell.text = value.isEmpty() ? QString() : numberText(value);
        whole = valueWhole;
    }
    if (whole > 0) {
        cell.notes << cellCutNote(QStringLiteral("セル %1 ").arg(reference), whole);
    }
    return cell;
}

}  // namespace

Relationships parseRelationships(QIODevice& xml, const QString& baseFolder) {
    Relationships result;
    QXmlStreamReader reader(&xml);
    while (!reader.atEnd()) {
        if (nextToken(reader) != QXmlStreamReader::StartElement ||
            reader.name() != u"Relationship") {
            continue;
        }
        const QXmlStreamAttributes a = reader.attributes();
        if (a.value(QLatin1String("TargetMode")) == u"External") {
            continue;
        }
        const QString target = a.value(QLatin1String("Target")).toString();
        const QString path = target.startsWith(u'/') ? target.mid(1) : baseFolder + u'/' + target;
        result.list.push_back({a.value(QLatin1String("Id")).toString(),
                               a.value(QLatin1String("Type")).toString(), QDir::cleanPath(path)});
    }
    if (reader.hasError()) {
        result.error = xmlError(reader);
    }
    return result;
}

Workbook readWorkbook(QIODevice& xml) {
    Workbook book;
    QXmlStreamReader reader(&xml);
    while (!reader.atEnd()) {
        if (nextToken(reader) != QXmlStreamReader::StartElement) {
            continue;
        }
        if (reader.name() == u"workbookPr") {
            const QStringView days = reader.attributes().value(QStringLiteral("date1904"));
            book.days1904 = days == u"1" || days == u"true";
        } else if (reader.name() == u"sheet") {
            // r:id, whichever prefix and relationships namespace (transitional or strict).
            for (const QXmlStreamAttribute& a : reader.attributes()) {
                if (a.name() == u"id" && !a.namespaceUri().isEmpty()) {
                    book.firstSheet = a.value().toString();
                }
            }
            return book;
        }
    }
    return book;
}

SharedStrings parseSharedStrings(QIODevice& xml, WorkProgress* progress) {
    SharedStrings result;
    QXmlStreamReader reader(&xml);
    while (!reader.atEnd()) {
        if (nextToken(reader) == QXmlStreamReader::StartElement && reader.name() == u"si") {
            qsizetype whole = 0;
            result.strings.append(readStringItem(reader, whole));
            if (whole > 0) {
                result.whole.insert(result.strings.size() - 1, whole);
            }
            if (result.strings.size() % kRowsPerStep == 0 && cancelledBy(progress)) {
                return {};
            }
        }
    }
    if (reader.hasError()) {
        result.error = xmlError(reader);
    }
    return result;
}

QString parseSheetRows(QIODevice& xml, const SharedStrings& shared, const RowSink& take,
                       WorkProgress* progress) {
    QXmlStreamReader reader(&xml);
    int lastRow = 0;  // below INT_MAX by far: a row number above kMaxRows is not taken
    qsizetype cells = 0;
    qsizetype rows = 0;
    qint64 sharedText = 0;  // what the cells took from the shared strings, in characters
    for (int sinceLook = 0; !reader.atEnd();) {
        if (nextToken(reader) != QXmlStreamReader::StartElement || reader.name() != u"row") {
            continue;
        }
        if (++sinceLook == kRowsPerStep) {
            sinceLook = 0;
            reportDone(progress, reader.characterOffset());
            if (cancelledBy(progress)) {
                return {};
            }
        }
        SourceRow row;
        bool ok = false;
        const QStringView given = reader.attributes().value(QLatin1String("r"));
        const int number = given.toInt(&ok);
        const bool numbered = ok && number > 0 && number <= kMaxRows;
        row.line = lastRow = numbered ? number : lastRow + 1;
        if (!given.isEmpty() && !numbered) {
            row.notes.append(QStringLiteral("行番号「%1」は 1 から %2 までではないため、前の行の"
                                            "次の行として読みました。")
                                 .arg(shownText(given), countText(kMaxRows)));
        }
        bool droppedRight = false;
        while (reader.readNextStartElement()) {
            if (reader.name() != u"c") {
                reader.skipCurrentElement();
                continue;
            }
            Cell cell = readCell(reader, shared, static_cast<int>(row.cells.size()), row.line);
            sharedText += cell.shared;
            if (reader.characterOffset() + sharedText > kMaxXlsxPartSize) {
                return QStringLiteral(
                           "共有文字列を使う欄が多すぎます（欄に書き入れたとすると、展開して "
                           "%1 バイトを超えます）")
                    .arg(countText(kMaxXlsxPartSize));
            }
            row.notes.append(cell.notes);
            if (cell.column >= kMaxColumns) {
                droppedRight = droppedRight || !cell.text.trimmed().isEmpty();
                continue;
            }
            while (row.cells.size() <= cell.column) {
                row.cells.append(QString());
            }
            row.cells[cell.column] = std::move(cell.text);
        }
        if (droppedRight) {
            row.notes.append(QStringLiteral("%1 列目より右は読みませんでした。").arg(kMaxColumns));
        }
        cells += row.cells.size();
        if (cells > kMaxCells) {
            return QStringLiteral("欄の数が多すぎます（%1 個まで）。").arg(countText(kMaxCells));
        }
        if (!isBlankRow(row.cells) || !row.notes.isEmpty()) {
            if (++rows > kMaxRows) {
                return QStringLiteral("行が多すぎます（%1 行まで）。リストを分けてください。")
                    .arg(countText(kMaxRows));
            }
            take(std::move(row));
        }
    }
    reportDone(progress, reader.characterOffset());
    return reader.hasError() ? xmlError(reader) : QString();
}

QString numberText(QStringView stored) {
    const QStringView s = stored.trimmed();
    if (isPlainInteger(s)) {
        qsizetype i = s.startsWith(u'-') ? 1 : 0;
        const bool negative = i == 1;
        while (i + 1 < s.size() && s[i] == u'0') {
            ++i;
        }
        const QStringView digits = s.sliced(i);
        return negative && digits != u"0" ? u'-' + digits.toString() : digits.toString();
    }
    bool ok = false;
    const double value = s.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return s.toString();
    }
    // Binary noise past the 15th digit is not part of what the shop typed.
    const double shown = QString::number(value, 'g', 15).toDouble();
    if (shown == std::floor(shown) && std::fabs(shown) < 1e15) {
        return QString::number(static_cast<qint64>(shown));
    }
    return QString::number(shown, 'f', QLocale::FloatingPointShortest);
}

QString unescapeText(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_' &&
            isHex(text[i + 2]) && isHex(text[i + 3]) && isHex(text[i + 4]) && isHex(text[i + 5])) {
            out += QChar(text.sliced(i + 2, 4).toUShort(nullptr, 16));
            i += 6;
        } else {
            out += c;
        }
    }
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

int columnOfReference(QStringView reference) {
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && i < 4; ++i) {
        const QChar c = reference[i].toUpper();
        if (c < u'A' || c > u'Z') {
            break;
        }
        column = column * 26 + (c.unicode() - u'A' + 1);
    }
    const bool digitsFollow = i > 0 && i < reference.size() && reference[i].isDigit();
    return digitsFollow ? column - 1 : -1;
}

}  // namespace zukaro::xlsx
