#include "QtCommonDialog1.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>

#include "DrawTarget.h"
#include "FileFilter.h"
#include "FontChoiceDialog.h"
#include "PrintDayEdit.h"

namespace zukaro {
namespace {

int showFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                   QString& path) {
    QFileDialog dialog(parent);
    // Qt's own dialog everywhere: it behaves the same on every desktop and under test.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    const QStringList filters = toNameFilters(filter);
    dialog.setNameFilters(filters);
    if (!path.isEmpty()) {
        const QFileInfo info(path);
        if (info.dir().exists()) {
            dialog.setDirectory(info.dir());
        }
    }
    if (mode == QFileDialog::AcceptSave) {
        // The save command asks about an existing file itself.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        // "sheet1" typed under the CSV filter is saved as "sheet1.csv".
        auto follow = [&dialog](const QString& nameFilter) {
            dialog.setDefaultSuffix(defaultSuffixOf(nameFilter));
        };
        if (!filters.isEmpty()) {
            follow(filters.first());
        }
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return kCancelError;
    }
    path = QDir::toNativeSeparators(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
    return 0;
}

}  // namespace

int QtCommonDialog1::showPrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    // One sheet, one page: page ranges and selections mean nothing here.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintShowPageSize, true);
    // Qt's dialog offers the last PDF again (or ~/print.pdf); the sheet's own name is better.
    // Qt asks itself before it replaces a file that exists.
    if (auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
        file != nullptr && !pdfSuggestion().isEmpty()) {
        file->setText(QDir::toNativeSeparators(pdfSuggestion()));
    }
    // The day whose sales and rates print, under the printer's choice where it cannot be
    // missed. It is chosen in the window, whose preview and marks go with it.
    if (auto* rows = qobject_cast<QBoxLayout*>(dialog.layout());
        rows != nullptr && printDay().isValid()) {
        auto* day = new QLabel(&dialog);
        day->setObjectName(QStringLiteral("印刷日の説明"));
        day->setWordWrap(true);
        const bool today = printDay() == QDate::currentDate();
        day->setText(
            QStringLiteral("%1の特価・税率で印刷します。%2")
                .arg(spokenDay(printDay()), today ? QStringLiteral("（今日）")
                                                  : QStringLiteral("今日の分ではありません。")));
        if (!today) {
            day->setStyleSheet(QStringLiteral("QLabel { background: %1; font-weight: bold; }")
                                   .arg(QLatin1String(kAnotherDayBackground)));
        }
        rows->insertWidget(1, day);
    }
    return dialog.exec() == QDialog::Accepted ? 0 : kCancelError;
}

int QtCommonDialog1::showFont(FontChoice& font) {
    FontChoiceDialog dialog(font, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return kCancelError;
    }
    font = dialog.choice();
    return 0;
}

int QtCommonDialog1::showColor(WinColor& color) {
    const QColor chosen =
        QColorDialog::getColor(Qt::black, parent_, QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) {
        return kCancelError;
    }
    color = draw::rgb(chosen.red(), chosen.green(), chosen.blue());
    return 0;
}

int QtCommonDialog1::showOpen(const QString& filter, QString& path) {
    return showFileDialog(parent_, QFileDialog::AcceptOpen, filter, path);
}

int QtCommonDialog1::showSave(const QString& filter, QString& path) {
    return showFileDialog(parent_, QFileDialog::AcceptSave, filter, path);
}

}  // namespace zukaro
