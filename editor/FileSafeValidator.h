#pragma once

#include <QValidator>
#include <functional>

namespace zukaro {

// Keeps out of a text box what a label data file cannot hold: a double quote would end the
// field early and a line break the record, shifting everything after it. Typed or pasted,
// such characters are dropped. Optionally keeps edits from growing the text past a limit:
// of a paste, the characters up to the limit are kept and the rest reported; a longer text
// put in by the program stays editable.
class FileSafeValidator final : public QValidator {
public:
    // `limit` returns the typing limit (0 for none), `previous` the text before the edit, and
    // `cut` learns the 1-based position from which characters did not fit.
    FileSafeValidator(QObject* parent, std::function<int()> limit,
                      std::function<QString()> previous, std::function<void(int)> cut);
    explicit FileSafeValidator(QObject* parent);

    State validate(QString& input, int& pos) const override;

private:
    std::function<int()> limit_;
    std::function<QString()> previous_;
    std::function<void(int)> cut_;
};

}  // namespace zukaro
