#include "DelimitedText.h"

#include <QDir>
#include <array>

#include "ShownText.h"

namespace zukaro {

namespace {

constexpr std::array<char16_t, 3> kCandidates{u'\t', u',', u';'};  // in order of preference
constexpr int kRowsSampled = 10;

bool isLineEnd(QChar c) {
    return c == u'\n' || c == u'\r';
}

// How often each candidate occurs outside quotes, per row, in the first rows that hold
// anything. A doubled quote toggles twice, so it needs no special case here.
std::vector<std::array<int, 3>> sampleCounts(QStringView text) {
    std::vector<std::array<int, 3>> rows;
    std::array<int, 3> counts{};
    bool inQuotes = false, anything = false;
    for (qsizetype i = 0; i <= text.size() && rows.size() < kRowsSampled; ++i) {
        if (i == text.size() || (!inQuotes && isLineEnd(text[i]))) {
            if (anything) {
                rows.push_back(counts);
            }
            counts = {};
            anything = false;
            continue;
        }
        const QChar c = text[i];
        anything = true;
        if (c == u'"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes) {
            for (std::size_t k = 0; k < kCandidates.size(); ++k) {
                counts[k] += c == kCandidates[k] ? 1 : 0;
            }
        }
    }
    return rows;
}

// How many rows are read between two looks at the progress.
constexpr int kRowsPerStep = 4096;

class Parser {
public:
    enum class Outcome { Read, TooManyCells, TooManyRows, Cancelled };

    Parser(QStringView text, QChar delimiter) : s_(text), delimiter_(delimiter) {}

    Outcome parse(const RowSink& take, WorkProgress* progress) {
        qsizetype cells = 0;
        qsizetype rows = 0;
        for (int sinceLook = 0; pos_ < s_.size(); ++sinceLook) {
            if (sinceLook == kRowsPerStep) {
                sinceLook = 0;
                reportDone(progress, pos_);
                if (cancelledBy(progress)) {
                    return Outcome::Cancelled;
                }
            }
            SourceRow row = nextRow();
            cells += row.cells.size();
            if (cells > kMaxCells) {
                return Outcome::TooManyCells;
            }
            if (!isBlankRow(row.cells) || !row.notes.isEmpty()) {
                if (++rows > kMaxRows) {
                    return Outcome::TooManyRows;
                }
                take(std::move(row));
            }
        }
        reportDone(progress, pos_);
        return Outcome::Read;
    }

private:
    bool atLineEnd() const { return pos_ < s_.size() && isLineEnd(s_[pos_]); }

    void skipLineEnd() {
        if (s_[pos_] == u'\r' && pos_ + 1 < s_.size() && s_[pos_ + 1] == u'\n') {
            ++pos_;
        }
        ++pos_;
        ++line_;
    }

    SourceRow nextRow() {
        SourceRow row;
        row.line = line_;
        row.cells.reserve(lastWidth_);  // most rows are as wide as the one before
        bool droppedRight = false;
        for (;;) {
            const bool quoted = pos_ < s_.size() && s_[pos_] == u'"';
            QString field = quoted ? quotedField(row) : plainField();
            if (fieldLength_ > kMaxCellLength) {
                cutToCellLength(field);
                if (row.cells.size() < kMaxColumns) {
                    row.notes.append(cellCutNote(
                        QStringLiteral("%1 列目").arg(row.cells.size() + 1), fieldLength_));
                }
            }
            if (row.cells.size() < kMaxColumns) {
                row.cells.append(std::move(field));
            } else if (!field.trimmed().isEmpty()) {
                droppedRight = true;
            }
            if (pos_ < s_.size() && s_[pos_] == delimiter_) {
                ++pos_;
                continue;
            }
            if (atLineEnd()) {
                skipLineEnd();
            }
            break;
        }
        if (droppedRight) {
            row.notes.append(QStringLiteral("%1 列目より右は読みませんでした。").arg(kMaxColumns));
        }
        lastWidth_ = row.cells.size();
        return row;
    }

    // The field's text is kept up to a little over a cell's limit (the caller cuts it there);
    // its whole length is counted in fieldLength_.
    QString plainField() {
        const qsizetype start = pos_;
        while (pos_ < s_.size() && s_[pos_] != delimiter_ && !isLineEnd(s_[pos_])) {
            ++pos_;
        }
        fieldLength_ = pos_ - start;
        return s_.sliced(start, std::min(fieldLength_, kMaxCellLength + 1)).toString();
    }

    QString quotedField(SourceRow& row) {
        const int startLine = line_;
        ++pos_;
        QString field;
        qsizetype length = 0;
        for (;;) {
            if (pos_ >= s_.size()) {
                fieldLength_ = length;
                row.notes.append(QStringLiteral("%1 行目で始まる引用符 (\") が閉じていません。"
                                                "ファイルの終わりまでを一つの欄として読みました。")
                                     .arg(startLine));
                return field;
            }
            const QChar c = s_[pos_];
            if (c == u'"') {
                ++pos_;
                if (pos_ < s_.size() && s_[pos_] == u'"') {
                    if (field.size() <= kMaxCellLength) {
                        field += u'"';
                    }
                    ++length;
                    ++pos_;
                    continue;
                }
                break;
            }
            const bool keep = field.size() <= kMaxCellLength;
            ++length;
            if (isLineEnd(c)) {
                if (keep) {
                    field += u'\n';
                }
                skipLineEnd();
            } else {
                if (keep) {
                    field += c;
                }
                ++pos_;
            }
        }
        // Not RFC 4180, but spreadsheets write such rows too: keep what follows, say so.
        const QString after = plainField();
        if (!after.isEmpty()) {
            row.notes.append(QStringLiteral("引用符で囲んだ欄の後ろに「%1」があります。続けて一つ"
                                            "の欄として読みました。")
                                 .arg(shownText(after)));
            field += after;
        }
        fieldLength_ += length;
        return field;
    }

    QStringView s_;
    QChar delimiter_;
    qsizetype pos_ = 0;
    int line_ = 1;
    qsizetype lastWidth_ = 0;
    qsizetype fieldLength_ = 0;  // of the last field read, in characters
};

}  // namespace

QChar detectDelimiter(QStringView text) {
    const std::vector<std::array<int, 3>> rows = sampleCounts(text);
    if (rows.empty()) {
        return u',';
    }
    std::size_t best = 1;  // comma
    int bestRows = 0, bestCount = 0;
    for (std::size_t k = 0; k < kCandidates.size(); ++k) {
        const int first = rows.front()[k];
        if (first == 0) {
            continue;
        }
        int agreeing = 0;
        for (const auto& counts : rows) {
            agreeing += counts[k] == first ? 1 : 0;
        }
        // Strictly better only, so that ties keep the earlier, preferred candidate.
        if (agreeing > bestRows || (agreeing == bestRows && first > bestCount)) {
            best = k;
            bestRows = agreeing;
            bestCount = first;
        }
    }
    return QChar(kCandidates[best]);
}

SourceResult parseDelimitedText(QStringView text, QChar delimiter, const QString& name,
                                WorkProgress* progress) {
    SourceTable table;
    SourceResult result = parseDelimitedRows(
        text, delimiter, name, [&table](SourceRow&& row) { table.rows.push_back(std::move(row)); },
        progress);
    if (result.ok) {
        result.table = std::move(table);
    }
    return result;
}

SourceResult parseDelimitedRows(QStringView text, QChar delimiter, const QString& name,
                                const RowSink& take, WorkProgress* progress) {
    SourceResult result;
    const Parser::Outcome outcome = Parser(text, delimiter).parse(take, progress);
    if (outcome == Parser::Outcome::Read) {
        result.ok = true;
        return result;
    }
    const QString shown = QDir::toNativeSeparators(name);
    switch (outcome) {
        case Parser::Outcome::TooManyCells:
            result.error = QStringLiteral("「%1」は欄の数が多すぎます（%2 個まで）。")
                               .arg(shown, countText(kMaxCells));
            break;
        case Parser::Outcome::TooManyRows:
            result.error =
                QStringLiteral("「%1」は行が多すぎます（%2 行まで）。リストを分けてください。")
                    .arg(shown, countText(kMaxRows));
            break;
        default:
            result.cancelled = true;
            break;
    }
    return result;
}

}  // namespace zukaro
