#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

namespace zukaro {

// Writes fields in the line form of the settings and label data files: fields separated by
// one comma, no blanks, texts in double quotes, integers in plain decimal, Booleans as
// #TRUE#/#FALSE#, every line ended by CR LF. The result is text; encoding comes after.
class FieldWriter {
public:
    // A double quote inside would end the field early on reading and shift every later
    // field, so it is written as ” (U+201D).
    void text(QStringView value);
    void integer(std::int64_t value);
    void boolean(bool value);
    void endLine();

    const QString& result() const { return out_; }

private:
    void separate();

    QString out_;
    bool lineStart_ = true;
};

}  // namespace zukaro
