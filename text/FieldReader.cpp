#include "FieldReader.h"

#include "NumberText.h"

namespace zukaro {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}
bool isDelimiter(QChar c) {
    return c == u',' || isLineEnd(c);
}

// Only blanks and tabs: a full-width space is part of the text.
QStringView trimBlanks(QStringView s) {
    while (!s.isEmpty() && isBlank(s.front())) {
        s = s.mid(1);
    }
    while (!s.isEmpty() && isBlank(s.back())) {
        s.chop(1);
    }
    return s;
}

Field classify(QStringView token) {
    Field field;
    if (token.compare(u"#TRUE#", Qt::CaseInsensitive) == 0 ||
        token.compare(u"#FALSE#", Qt::CaseInsensitive) == 0) {
        field.kind = Field::Kind::Boolean;
        field.boolean = token.size() == 6;
        field.text = token.toString();
        return field;
    }
    if (const std::optional<double> value = parseNumber(token)) {
        field.kind = Field::Kind::Number;
        field.number = *value;
        field.text = token.toString();
        return field;
    }
    field.kind = Field::Kind::Text;
    field.text = token.toString();
    return field;
}

}  // namespace

void FieldReader::skipToFieldStart() {
    while (pos_ < text_.size() &&
           (isBlank(text_[pos_]) || (afterLineEnd_ && isLineEnd(text_[pos_])))) {
        ++pos_;
    }
}

void FieldReader::consumeDelimiter() {
    if (pos_ >= text_.size()) {
        afterLineEnd_ = true;
        return;
    }
    if (text_[pos_] == u',') {
        ++pos_;
        afterLineEnd_ = false;
        return;
    }
    if (text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n') {
        ++pos_;
    }
    ++pos_;
    afterLineEnd_ = true;
}

bool FieldReader::atEnd() {
    skipToFieldStart();
    return afterLineEnd_ && pos_ >= text_.size();
}

bool FieldReader::atLineStart() {
    skipToFieldStart();
    return afterLineEnd_;
}

int FieldReader::lineAt(qsizetype pos) {
    for (; countedTo_ < pos && countedTo_ < text_.size(); ++countedTo_) {
        const QChar c = text_[countedTo_];
        const bool crBeforeLf =
            c == u'\r' && countedTo_ + 1 < text_.size() && text_[countedTo_ + 1] == u'\n';
        if (isLineEnd(c) && !crBeforeLf) {
            ++countedLine_;
        }
    }
    return countedLine_;
}

Field FieldReader::next() {
    if (atEnd()) {
        return {};
    }
    fieldLine_ = lineAt(pos_);
    if (pos_ < text_.size() && text_[pos_] == u'"') {
        const qsizetype close = text_.indexOf(u'"', pos_ + 1);
        Field field;
        field.kind = Field::Kind::Text;
        field.quoted = true;
        if (close < 0) {
            field.text = text_.mid(pos_ + 1).toString();
            pos_ = text_.size();
            unclosedQuote_ = true;
            afterLineEnd_ = true;
            return field;
        }
        field.text = text_.mid(pos_ + 1, close - pos_ - 1).toString();
        pos_ = close + 1;
        while (pos_ < text_.size() && !isDelimiter(text_[pos_])) {
            if (!isBlank(text_[pos_])) {
                ++droppedAfterQuotes_;
            }
            ++pos_;
        }
        consumeDelimiter();
        return field;
    }
    const qsizetype start = pos_;
    while (pos_ < text_.size() && !isDelimiter(text_[pos_])) {
        ++pos_;
    }
    Field field = classify(trimBlanks(text_.mid(start, pos_ - start)));
    consumeDelimiter();
    return field;
}

}  // namespace zukaro
