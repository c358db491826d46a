#pragma once

#include <QValidator>
#include <functional>

namespace zukaro {

// Keeps out of a text box what a label data file cannot hold: a double quote would end the
// field early and a line break the record, shifting everything after it. Typed or pasted,
// such characters are dropped. Optionally rejects edits that grow the text past a limit
// while leaving longer texts put in by the program editable.
class FileSafeValidator final : public QValidator {
public:
    // `limit` returns the typing limit (0 for none) and `previous` the text before the edit.
    FileSafeValidator(QObject* parent, std::function<int()> limit,
                      std::function<qsizetype()> previousLength);
    explicit FileSafeValidator(QObject* parent);

    State validate(QString& input, int& pos) const override;

private:
    std::function<int()> limit_;
    std::function<qsizetype()> previousLength_;
};

}  // namespace zukaro
