#include "FieldWriter.h"

namespace zukaro {

void FieldWriter::separate() {
    if (!lineStart_) {
        out_ += u',';
    }
    lineStart_ = false;
}

void FieldWriter::text(QStringView value) {
    separate();
    out_ += u'"';
    const qsizetype start = out_.size();
    out_ += value;
    for (qsizetype i = start; i < out_.size(); ++i) {
        if (out_[i] == u'"') {
            out_[i] = QChar(u'\u201D');
        }
    }
    out_ += u'"';
}

void FieldWriter::integer(std::int64_t value) {
    separate();
    out_ += QString::number(value);
}

void FieldWriter::boolean(bool value) {
    separate();
    out_ += value ? QStringView(u"#TRUE#") : QStringView(u"#FALSE#");
}

void FieldWriter::endLine() {
    out_ += u"\r\n";
    lineStart_ = true;
}

}  // namespace zukaro
