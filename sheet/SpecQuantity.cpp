#include "SpecQuantity.h"

#include <algorithm>
#include <vector>

namespace zukaro {
namespace {

// Beyond these a spec is a typing slip, not a pack: a billion of a unit, ten of them multiplied.
constexpr std::int64_t kLargestFactor = 1'000'000'000;
constexpr std::int64_t kLargestTotal = 1'000'000'000'000'000;

struct UnitWord {
    const char16_t* text;
    QuantityUnit unit;
    std::int64_t scale;           // grams or millilitres of one; 1 for pieces
    const char16_t* piece = u"";  // what one piece is called
};

// Latin words are matched in either case and never inside a longer word ("1lb" is no litre).
const UnitWord kUnits[] = {
    {u"kg", QuantityUnit::Gram, 1000},
    {u"g", QuantityUnit::Gram, 1},
    {u"キログラム", QuantityUnit::Gram, 1000},
    {u"キロ", QuantityUnit::Gram, 1000},  // 「米 5キロ」: on a shelf, never kilometres
    {u"グラム", QuantityUnit::Gram, 1},
    {u"ml", QuantityUnit::Millilitre, 1},
    {u"cc", QuantityUnit::Millilitre, 1},
    {u"l", QuantityUnit::Millilitre, 1000},
    {u"ミリリットル", QuantityUnit::Millilitre, 1},
    {u"リットル", QuantityUnit::Millilitre, 1000},
    {u"本", QuantityUnit::Piece, 1, u"本"},
    {u"個", QuantityUnit::Piece, 1, u"個"},
    {u"枚", QuantityUnit::Piece, 1, u"枚"},
    {u"缶", QuantityUnit::Piece, 1, u"缶"},
    {u"袋", QuantityUnit::Piece, 1, u"袋"},
    {u"パック", QuantityUnit::Piece, 1, u"パック"},
    {u"p", QuantityUnit::Piece, 1, u"パック"},  // 「100g×3P」
    {u"粒", QuantityUnit::Piece, 1, u"粒"},
    {u"箱", QuantityUnit::Piece, 1, u"箱"},
    {u"ロール", QuantityUnit::Piece, 1, u"ロール"},
    {u"入", QuantityUnit::Piece, 1, u"個"},  // 「24入」
};

bool isLatin(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
bool isTimes(QChar c) {
    return c == u'×' || c == u'✕' || c == u'*' || c == u'x' || c == u'X';
}
bool isRange(QChar c) {
    return c == u'~' || c == u'〜' || c == u'-' || c == u'−';
}

enum class Kind {
    Measure,  // grams or millilitres
    Count,    // pieces
    Bare,     // a number alone: a multiplier in a pack (「100g×3」)
    Foreign,  // a number of some other unit (「500mg」「2024年」)
};

struct Factor {
    Kind kind = Kind::Bare;
    std::int64_t thousandths = 0;  // of the unit: grams, millilitres, pieces or a multiplier
    QuantityUnit unit = QuantityUnit::Piece;
    QString piece;
};

class Reader {
public:
    explicit Reader(const QString& text) : s_(text) {}

    bool atEnd() const { return at_ >= s_.size(); }
    QChar peek(qsizetype ahead = 0) const {
        return at_ + ahead < s_.size() ? s_[at_ + ahead] : QChar();
    }
    void skip(qsizetype count = 1) { at_ += count; }
    void skipBlanks() {
        while (peek() == u' ' || peek() == u'\t') {
            skip();
        }
    }
    // A digit after blanks, without moving.
    bool digitAhead(qsizetype from) const {
        qsizetype i = at_ + from;
        while (i < s_.size() && s_[i] == u' ') {
            ++i;
        }
        return i < s_.size() && isDigit(s_[i]);
    }

    // Digits with thousands commas in their places and up to three decimals, in thousandths.
    // Nothing for more digits than any pack has.
    std::optional<std::int64_t> number() {
        std::int64_t whole = 0;
        int digits = 0;
        while (true) {
            if (isDigit(peek())) {
                whole = whole * 10 + (peek().unicode() - u'0');
                skip();
                if (++digits > 9) {
                    return std::nullopt;
                }
            } else if (peek() == u',' && isDigit(peek(1)) && isDigit(peek(2)) && isDigit(peek(3)) &&
                       !isDigit(peek(4))) {
                skip();
            } else {
                break;
            }
        }
        std::int64_t fraction = 0;
        if (peek() == u'.' && isDigit(peek(1))) {
            skip();
            int decimals = 0;
            while (isDigit(peek())) {
                if (++decimals > 3) {
                    return std::nullopt;
                }
                fraction = fraction * 10 + (peek().unicode() - u'0');
                skip();
            }
            for (; decimals < 3; ++decimals) {
                fraction *= 10;
            }
        }
        return whole * 1000 + fraction;
    }

    // The unit word here, the longest that fits; moves past it.
    const UnitWord* unit() {
        const UnitWord* found = nullptr;
        qsizetype length = 0;
        for (const UnitWord& word : kUnits) {
            const QStringView text(word.text);
            const bool latin = isLatin(text.front());
            if (text.size() <= length || at_ + text.size() > s_.size() ||
                QStringView(s_)
                        .mid(at_, text.size())
                        .compare(text, latin ? Qt::CaseInsensitive : Qt::CaseSensitive) != 0) {
                continue;
            }
            const QChar after = at_ + text.size() < s_.size() ? s_[at_ + text.size()] : QChar();
            const bool timesAfter = (after == u'x' || after == u'X') && digitAhead(text.size() + 1);
            if (latin && isLatin(after) && !timesAfter) {
                continue;
            }
            found = &word;
            length = text.size();
        }
        skip(length);
        return found;
    }

private:
    const QString& s_;
    qsizetype at_ = 0;
};

// The pack of one group of factors joined by 「×」; nothing when it says no single quantity.
std::optional<Quantity> packOf(const std::vector<Factor>& group) {
    const Factor* measure = nullptr;
    const Factor* firstCount = nullptr;
    std::int64_t times = 1;
    for (const Factor& f : group) {
        if (f.kind == Kind::Foreign) {
            return std::nullopt;  // 「500mg×60粒」: what one is, the label does not say in g
        }
        if (f.kind == Kind::Measure) {
            if (measure != nullptr) {
                return std::nullopt;  // 「500ml×1L」
            }
            measure = &f;
            continue;
        }
        if (f.thousandths % 1000 != 0) {
            return std::nullopt;  // 「1.5本」
        }
        if (f.kind == Kind::Count && firstCount == nullptr) {
            firstCount = &f;
        }
        times *= f.thousandths / 1000;
        if (times > kLargestTotal / 1000) {
            return std::nullopt;
        }
    }
    if (measure == nullptr && firstCount == nullptr) {
        return std::nullopt;  // 「3×4」: numbers of nothing
    }
    const std::int64_t one = measure != nullptr ? measure->thousandths : 1000;
    if (times == 0 || one == 0 || one > kLargestTotal / times) {
        return std::nullopt;
    }
    if (measure != nullptr) {
        return Quantity{measure->unit, one * times, {}};
    }
    return Quantity{QuantityUnit::Piece, one * times, firstCount->piece};
}

}  // namespace

std::optional<Quantity> quantityOf(const QString& spec) {
    // Full-width digits, letters and signs made half-width; 「ℓ」 becomes l, 「㎖」 ml, 「㍑」
    // リットル, 「㌘」 グラム, 「㍉」 ミリ (which names no unit alone).
    const QString text = spec.normalized(QString::NormalizationForm_KC);
    if (text.contains(u'各')) {
        return std::nullopt;  // 「3種 各100g」
    }
    std::vector<std::vector<Factor>> groups;
    bool joined = false;  // the last factor was followed by 「×」
    Reader in(text);
    while (!in.atEnd()) {
        if (!isDigit(in.peek())) {
            in.skip();
            joined = false;
            continue;
        }
        const std::optional<std::int64_t> value = in.number();
        if (!value || *value >= kLargestFactor * 1000) {
            return std::nullopt;
        }
        in.skipBlanks();
        Factor f{Kind::Bare, *value, QuantityUnit::Piece, {}};
        if (const UnitWord* word = in.unit()) {
            f.kind = word->unit == QuantityUnit::Piece ? Kind::Count : Kind::Measure;
            f.thousandths *= word->scale;
            f.unit = word->unit;
            f.piece = QString::fromUtf16(word->piece);
            // 「24本入」「200g入り」
            if (in.peek() == u'入') {
                in.skip(in.peek(1) == u'り' ? 2 : 1);
            }
        } else if (in.peek().isLetter() && !isTimes(in.peek())) {
            // Its word read whole, so that a 「×」 after it still joins (「500mg×60粒」).
            f.kind = Kind::Foreign;
            while (in.peek().isLetter() && !(isTimes(in.peek()) && in.digitAhead(1))) {
                in.skip();
            }
        }
        in.skipBlanks();
        if (isRange(in.peek()) && in.digitAhead(1)) {
            return std::nullopt;  // 「180〜200g」
        }
        if (joined) {
            groups.back().push_back(f);
        } else {
            groups.push_back({f});
        }
        joined = isTimes(in.peek()) && in.digitAhead(1);
        if (joined) {
            in.skip();
            in.skipBlanks();
        }
    }
    std::optional<Quantity> found;
    for (const std::vector<Factor>& group : groups) {
        const bool saysWhat = std::any_of(group.begin(), group.end(), [](const Factor& f) {
            return f.kind == Kind::Measure || f.kind == Kind::Count;
        });
        if (!saysWhat) {
            continue;  // 「2024年産」, a lot number
        }
        if (found) {
            return std::nullopt;  // 「500ml・1L」: which one?
        }
        found = packOf(group);
        if (!found) {
            return std::nullopt;
        }
    }
    return found;
}

}  // namespace zukaro
