// A sale on the current label (特価, 通常価格, the period) and the layout's sale and rate
// settings: the regular price struck through, the rate changes by date.
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>

#include "EditorWindow.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

LabelTexts SheetState::*arrayOf(const EditorControls& ui, const QLineEdit* field) {
    if (field == ui.特価) {
        return &SheetState::salePrice;
    }
    if (field == ui.通常価格) {
        return &SheetState::regularPrice;
    }
    return field == ui.特売開始日 ? &SheetState::saleFrom : &SheetState::saleTo;
}

bool isDayField(const EditorControls& ui, const QLineEdit* field) {
    return field == ui.特売開始日 || field == ui.特売終了日;
}

// 「軽減 0% 2026-10-01」: the rows of the rate changes as the field shows them.
QString rateChangesText(const std::vector<TaxRateChange>& changes) {
    QStringList rows;
    for (const TaxRateChange& change : changes) {
        rows << QStringLiteral("%1 %2% %3")
                    .arg(taxClassText(change.taxClass))
                    .arg(change.ratePercent)
                    .arg(dayText(change.from));
    }
    return rows.join(u'、');
}

// The rows typed into 税率改定, or what is wrong with the first that cannot be read.
struct ReadChanges {
    std::vector<TaxRateChange> changes;
    QString error;
};
ReadChanges readRateChanges(const QString& typed) {
    ReadChanges read;
    QString text = typed.normalized(QString::NormalizationForm_KC);
    for (const QChar separator : {u',', u';', u'\n'}) {
        text.replace(separator, u'、');
    }
    const QStringList rows = text.split(u'、', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList words = rows[i].simplified().split(u' ', Qt::SkipEmptyParts);
        QString rateText = words.value(1);
        if (rateText.endsWith(u'%')) {
            rateText.chop(1);
        }
        bool isNumber = false;
        const int rate = rateText.toInt(&isNumber);
        const std::optional<TaxClass> taxClass = taxClassFromText(words.value(0));
        const QDate from = dayFromText(words.value(2));
        if (rows[i].trimmed().isEmpty()) {
            continue;
        }
        if (words.size() != 3 || !taxClass || *taxClass == TaxClass::Exempt || !isNumber ||
            rate < 0 || rate > 100 || from.isNull()) {
            read.error =
                QStringLiteral(
                    "税率改定の %1 行目「%2」は読めません。「軽減 0% 2026-10-01」のように、"
                    "区分 (標準か軽減)、税率 (0 から 100 の整数)、適用開始日を入れて"
                    "ください。")
                    .arg(i + 1)
                    .arg(rows[i].trimmed());
            return read;
        }
        setTaxRateChange(read.changes, {*taxClass, rate, from});
    }
    return read;
}

}  // namespace

bool storeSaleField(EditorWindow& window, QLineEdit* field) {
    const EditorControls& ui = window.controls();
    SheetState& sheet = window.sheet();
    const int n = sheet.currentLabel;
    QString text = field->text();
    if (isDayField(ui, field) && !text.trimmed().isEmpty()) {
        const QDate day = dayFromText(text);
        if (day.isNull()) {
            field->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid red; }"));
            window.say(QStringLiteral("ラベル %1 の%2「%3」は日付として読めません。"
                                      "2026/12/08、2026-12-08、20261208 のように入れてください"
                                      "（まだ入れていません）。")
                           .arg(n)
                           .arg(field == ui.特売開始日 ? QStringLiteral("特売開始日")
                                                       : QStringLiteral("特売終了日"),
                                text));
            return false;
        }
        text = dayText(day);
        field->setText(text);
    } else if (isDayField(ui, field)) {
        text.clear();
    }
    field->setStyleSheet(QString());
    field->setModified(false);
    window.edit(QStringLiteral("特売"), [&] { (sheet.*arrayOf(ui, field))[n] = text; });
    const QDate from = dayFromText(sheet.saleFrom[n]);
    const QDate to = dayFromText(sheet.saleTo[n]);
    if (!from.isNull() && !to.isNull() && to < from) {
        window.say(QStringLiteral("ラベル %1 の特売終了日 %2 が開始日 %3 より前です。"
                                  "このままでは特価は印刷されません。")
                       .arg(n)
                       .arg(dayText(to), dayText(from)));
    }
    window.redrawPreview();
    return true;
}

void wireSaleControls(EditorWindow& window) {
    const EditorControls& ui = window.controls();
    const auto fields = ui.saleFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        QLineEdit* field = fields[i];
        QObject::connect(field, &QLineEdit::editingFinished, &window, [&window, field] {
            if (!window.quietFocusMove() && field->isModified()) {
                storeSaleField(window, field);
            }
        });
        // Enter goes on along the sale's fields; after the last one, to the next label as the
        // price field's Enter does.
        QLineEdit* next = i + 1 < fields.size() ? fields[i + 1] : nullptr;
        QObject::connect(field, &QLineEdit::returnPressed, &window, [&window, field, next] {
            if (field->isModified() && !storeSaleField(window, field)) {
                return;
            }
            if (next != nullptr) {
                next->setFocus(Qt::OtherFocusReason);
                return;
            }
            SheetState& sheet = window.sheet();
            if (sheet.currentLabel < kLabelCount) {
                ++sheet.currentLabel;
            }
            window.showPreviewQuietly();
        });
    }
    QObject::connect(ui.通常価格に取り消し線, &QCheckBox::clicked, &window, [&window](bool on) {
        window.changeLayout(QStringLiteral("通常価格の取り消し線"),
                            [on](Layout& l) { l.strikeRegularPrice = on; });
    });
    QObject::connect(ui.税率改定, &QLineEdit::editingFinished, &window, [&window] {
        QLineEdit* field = window.controls().税率改定;
        if (!field->isModified()) {
            return;
        }
        const ReadChanges read = readRateChanges(field->text());
        if (!read.error.isEmpty()) {
            field->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid red; }"));
            window.say(read.error + QStringLiteral("（まだ入れていません）"));
            return;
        }
        field->setStyleSheet(QString());
        field->setModified(false);
        window.changeLayout(QStringLiteral("税率改定"),
                            [&read](Layout& l) { l.taxRateChanges = read.changes; });
    });
}

void mirrorSaleControls(const EditorControls& ui, const SheetState& sheet) {
    const int n = sheet.currentLabel;
    for (QLineEdit* field : ui.saleFields()) {
        field->setText((sheet.*arrayOf(ui, field))[n]);
        field->setStyleSheet(QString());
    }
    const QSignalBlocker blocker(ui.通常価格に取り消し線);
    ui.通常価格に取り消し線->setChecked(sheet.layout.strikeRegularPrice);
    const QString rows = rateChangesText(sheet.layout.taxRateChanges);
    if (ui.税率改定->text() != rows || ui.税率改定->isModified()) {
        ui.税率改定->setText(rows);
        ui.税率改定->setStyleSheet(QString());
    }
}

}  // namespace zukaro
