#include "CalibrationDialog.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "CalibrationSheet.h"
#include "CommonDialog1.h"
#include "MessageBoxes.h"
#include "PrintJob.h"
#include "PrintingSettings.h"

namespace zukaro {
namespace {

const QString kCaption = QStringLiteral("印刷位置の調整");
constexpr double kLargestReading = 15;  // mm, as far as anything can be read on the scales

QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QString today() {
    return QDate::currentDate().toString(Qt::ISODate);
}

}  // namespace

CalibrationDialog::CalibrationDialog(CommonDialog1& dialogs, MessageBoxes& messages,
                                     QPrinter& printer, QString settingsFolder, SheetOrigin shift,
                                     QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      messages_(messages),
      printer_(printer),
      folder_(std::move(settingsFolder)),
      shift_(shift) {
    setObjectName(QStringLiteral("印刷位置の調整"));
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral(
            "ラベル用紙に調整用シートを印刷し、ラベル 1 とラベル 21 の角にある十字が、"
            "ラベルの本当の角からどれだけずれて印刷されたかを、十字のそばの目盛りで読んで"
            "入れてください。保存すると、このプリンターで印刷するたびに、ラベルの位置がその分"
            "だけ直されます（文字やバーコードの大きさは変わりません。プレビューは直しません）。"),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* form = new QFormLayout;
    printers_ = new QComboBox(this);
    printers_->setObjectName(QStringLiteral("プリンター"));
    printers_->addItems(QPrinterInfo::availablePrinterNames());
    printers_->addItem(kPdfFilePrinter);
    // One line: the calibration in words and its day, read at a glance (the dialog is as wide
    // as it needs; a damaged settings file is said on its own lines below).
    stored_ = new QLabel(this);
    stored_->setObjectName(QStringLiteral("今の調整"));
    storedProblem_ = new QLabel(this);
    storedProblem_->setObjectName(QStringLiteral("設定の問題"));
    storedProblem_->setWordWrap(true);
    storedProblem_->setStyleSheet(QStringLiteral("color: #c00000;"));
    form->addRow(QStringLiteral("プリンター"), printers_);
    form->addRow(QStringLiteral("今の調整"), stored_);
    form->addRow(storedProblem_);
    layout->addLayout(form);

    auto* printRow = new QHBoxLayout;
    printButton_ = button(QStringLiteral("調整用シートを印刷"),
                          QStringLiteral("1. 調整用シートを印刷..."), this);
    checkButton_ =
        button(QStringLiteral("確認用シートを印刷"), QStringLiteral("確認用シートを印刷..."), this);
    checkButton_->setToolTip(
        QStringLiteral("今の調整を入れて印刷します。十字がラベルの角に重なれば合っています。"));
    printRow->addWidget(printButton_);
    printRow->addWidget(checkButton_);
    printRow->addStretch();
    layout->addLayout(printRow);

    auto* readings = new QGroupBox(
        QStringLiteral("2. 十字のずれ（目盛りに書かれた向きと数字、0.1 mm まで）"), this);
    auto* grid = new QGridLayout(readings);
    sheetRead_ = new QComboBox(readings);
    sheetRead_->setObjectName(QStringLiteral("読んだシート"));
    sheetRead_->addItems({QStringLiteral("調整用シート（調整なし）を読んだ"),
                          QStringLiteral("確認用シート（今の調整入り）を読んだ")});
    sheetRead_->setToolTip(
        QStringLiteral("確認用シートの読みは、今の調整からのずれです。0 なら今の調整のままです。"));
    grid->addWidget(sheetRead_, 0, 0, 1, 5);
    grid->addWidget(new QLabel(QStringLiteral("横"), readings), 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("縦"), readings), 1, 3, 1, 2);
    firstRight_ = axis(QStringLiteral("十字1の横"), QStringLiteral("右"), QStringLiteral("左"));
    firstDown_ = axis(QStringLiteral("十字1の縦"), QStringLiteral("下"), QStringLiteral("上"));
    lastRight_ = axis(QStringLiteral("十字21の横"), QStringLiteral("右"), QStringLiteral("左"));
    lastDown_ = axis(QStringLiteral("十字21の縦"), QStringLiteral("下"), QStringLiteral("上"));
    const struct {
        QString title;
        Axis across, down;
    } rows[] = {{QStringLiteral("ラベル 1 の十字"), firstRight_, firstDown_},
                {QStringLiteral("ラベル 21 の十字"), lastRight_, lastDown_}};
    int row = 2;
    for (const auto& r : rows) {
        grid->addWidget(new QLabel(r.title, readings), row, 0);
        grid->addWidget(r.across.direction, row, 1);
        grid->addWidget(r.across.distance, row, 2);
        grid->addWidget(r.down.direction, row, 3);
        grid->addWidget(r.down.distance, row, 4);
        ++row;
    }
    layout->addWidget(readings);

    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("計算結果"));
    result_->setWordWrap(true);
    result_->setMinimumHeight(result_->fontMetrics().height() * 4);
    result_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(result_);

    auto* buttons = new QHBoxLayout;
    saveButton_ =
        button(QStringLiteral("保存"), QStringLiteral("3. このプリンターの調整として保存"), this);
    forgetButton_ = button(QStringLiteral("調整を消す"), QStringLiteral("調整を消す"), this);
    auto* close = button(QStringLiteral("閉じる"), QStringLiteral("閉じる"), this);
    buttons->addWidget(saveButton_);
    buttons->addWidget(forgetButton_);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(printButton_, &QPushButton::clicked, this, [this] { printSheet(false); });
    connect(checkButton_, &QPushButton::clicked, this, [this] { printSheet(true); });
    connect(saveButton_, &QPushButton::clicked, this, [this] { save(); });
    connect(forgetButton_, &QPushButton::clicked, this, [this] { forget(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(printers_, &QComboBox::currentTextChanged, this, [this] { showStored(); });
    connect(sheetRead_, &QComboBox::currentIndexChanged, this, [this] { showResult(); });

    // The printer the window prints on, else the system's default one.
    const QString current =
        printer_.outputFormat() == QPrinter::PdfFormat
            ? kPdfFilePrinter
            : (printer_.printerName().isEmpty() ? QPrinterInfo::defaultPrinterName()
                                                : printer_.printerName());
    choosePrinter(current.isEmpty() ? kPdfFilePrinter : current);
    showStored();
    // Opened again on a calibrated printer, the readings are those of its check sheet: all 0,
    // the calibration as stored, never zeros in its place.
    readSheet(storedCalibration_.has_value());
}

bool CalibrationDialog::readsCheckSheet() const {
    return sheetRead_->currentIndex() == 1 && storedCalibration_.has_value();
}

void CalibrationDialog::readSheet(bool check) {
    const QSignalBlocker quiet(sheetRead_);
    sheetRead_->setCurrentIndex(check && storedCalibration_ ? 1 : 0);
    for (const Axis& a : {firstRight_, firstDown_, lastRight_, lastDown_}) {
        const QSignalBlocker still(a.direction), stillToo(a.distance);
        a.direction->setCurrentIndex(0);
        a.distance->setValue(0);
    }
    showResult();
}

CalibrationDialog::Axis CalibrationDialog::axis(const QString& name, const QString& plus,
                                                const QString& minus) {
    Axis a{new QComboBox(this), new QDoubleSpinBox(this)};
    a.direction->setObjectName(name + QStringLiteral("向き"));
    a.direction->addItems({plus, minus});
    a.distance->setObjectName(name);
    a.distance->setDecimals(1);
    a.distance->setSingleStep(0.1);
    a.distance->setRange(0, kLargestReading);
    a.distance->setSuffix(QStringLiteral(" mm"));
    connect(a.direction, &QComboBox::currentIndexChanged, this, [this] { showResult(); });
    connect(a.distance, &QDoubleSpinBox::valueChanged, this, [this] { showResult(); });
    return a;
}

QString CalibrationDialog::printerName() const {
    return printers_->currentText();
}

void CalibrationDialog::choosePrinter(const QString& name) {
    if (printers_->findText(name) < 0) {
        printers_->insertItem(0, name);
    }
    printers_->setCurrentText(name);
}

CalibrationResult CalibrationDialog::result() const {
    // The second choice of each axis (左, 上) is the negative direction.
    const auto value = [](const Axis& a) {
        return a.direction->currentIndex() == 0 ? a.distance->value() : -a.distance->value();
    };
    return calibrateFromCrosses(
        {value(firstRight_), value(firstDown_)}, {value(lastRight_), value(lastDown_)}, shift_,
        readsCheckSheet() ? storedCalibration_->calibration : PrinterCalibration{});
}

void CalibrationDialog::showStored() {
    const PrintingSettingsLoad load = loadPrintingSettings(folder_);
    const auto found = load.settings.calibrations.find(printerName());
    storedCalibration_.reset();
    if (found != load.settings.calibrations.end()) {
        storedCalibration_ = found->second;
    }
    const bool has = storedCalibration_.has_value();
    stored_->setText(has ? QStringLiteral("%1（%2 に調整）")
                               .arg(describeCalibration(storedCalibration_->calibration),
                                    storedCalibration_->measured)
                         : QStringLiteral("調整なし"));
    storedProblem_->setText(load.error);
    storedProblem_->setVisible(!load.error.isEmpty());
    checkButton_->setEnabled(has);
    forgetButton_->setEnabled(has);
    // Only a printer with a calibration has a check sheet to read.
    auto* model = qobject_cast<QStandardItemModel*>(sheetRead_->model());
    if (QStandardItem* check = model != nullptr ? model->item(1) : nullptr) {
        check->setEnabled(has);
    }
    if (!has && sheetRead_->currentIndex() == 1) {
        sheetRead_->setCurrentIndex(0);
    }
    showResult();
}

void CalibrationDialog::showResult() {
    const CalibrationResult r = result();
    saveButton_->setEnabled(r.ok());
    if (!r.ok()) {
        result_->setStyleSheet(QStringLiteral("color: #c00000;"));
        result_->setText(r.error);
        return;
    }
    result_->setStyleSheet(r.worthRechecking() ? QStringLiteral("color: #c00000;") : QString());
    QString text = QStringLiteral("このプリンターの印刷は、ラベル用紙に対して%1。\n")
                       .arg(describeCalibration(r.calibration));
    if (readsCheckSheet()) {
        text +=
            r.calibration == storedCalibration_->calibration
                ? QStringLiteral("確認用シートの十字が角に重なっています。今の調整のままです。\n")
                : QStringLiteral("確認用シートの読みで、今の調整を直した値です。\n");
    }
    result_->setText(text + r.note);
}

void CalibrationDialog::printSheet(bool check) {
    // The print dialog starts from the printer chosen here and may choose another one; the
    // sheet is for the one it ends with.
    if (printerName() == kPdfFilePrinter) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setPrinterName(printerName());
    }
    const QString title =
        check ? QStringLiteral("印刷位置の確認用シート") : QStringLiteral("印刷位置の調整用シート");
    dialogs_.suggestPdfFile(QDir::home().filePath(title + QStringLiteral(".pdf")));
    if (dialogs_.showPrinter(printer_) == kCancelError) {
        return;
    }
    const QString name = calibrationKey(printer_);
    choosePrinter(name);
    // What is read next is this sheet's.
    readSheet(check);
    CalibrationSheetInfo info;
    info.shift = shift_;
    info.printer = name;
    info.date = today();
    if (check) {
        const PrintingSettingsLoad load = loadPrintingSettings(folder_);
        info.calibration = load.settings.calibrationFor(name);
        if (info.calibration.isNone()) {
            messages_.tell(kCaption,
                           QStringLiteral("「%1」の調整はまだありません。先に調整用シートを"
                                          "印刷して、十字のずれを保存してください。")
                               .arg(name),
                           MessageIcon::Exclamation);
            return;
        }
    }
    const PrintOutcome outcome =
        PrintJob(printer_, title).run(1, [&](draw::DrawTarget& target, std::size_t) {
            drawCalibrationSheet(target, info);
        });
    if (!outcome.printed()) {
        messages_.tell(kCaption, outcome.message, MessageIcon::Critical);
    }
}

void CalibrationDialog::save() {
    const CalibrationResult r = result();
    if (!r.ok()) {
        return;
    }
    const QString name = printerName();
    // A calibration kept for this printer goes only when the clerk says so.
    QStringList doubts;
    if (r.worthRechecking()) {
        doubts << r.note;
    }
    if (storedCalibration_ && storedCalibration_->calibration != r.calibration) {
        doubts << QStringLiteral(
                      "「%1」の今の調整（%2、%3 に調整）を、この読みの調整（%4）に"
                      "置き換えます。")
                      .arg(name, describeCalibration(storedCalibration_->calibration),
                           storedCalibration_->measured, describeCalibration(r.calibration));
    }
    if (!doubts.isEmpty() && !messages_.askYesNo(kCaption,
                                                 doubts.join(QStringLiteral("\n\n")) +
                                                     QStringLiteral("\n\nこのまま保存しますか？"),
                                                 MessageIcon::Exclamation, false)) {
        return;
    }
    const bool corrected = readsCheckSheet();
    const FileResult saved = storeCalibration(folder_, name, {r.calibration, today()});
    if (!saved.ok) {
        messages_.tell(kCaption,
                       QStringLiteral("印刷位置の調整を保存できませんでした。\n") + saved.error,
                       MessageIcon::Critical);
        return;
    }
    showStored();
    if (corrected) {
        // The check sheet's readings are in the calibration now; taken again they would
        // correct it twice.
        readSheet(true);
    }
    messages_.tell(kCaption,
                   QStringLiteral("「%1」の印刷位置の調整を保存しました。\n%2。")
                       .arg(name, describeCalibration(r.calibration)),
                   MessageIcon::Information);
}

void CalibrationDialog::forget() {
    const QString name = printerName();
    if (!messages_.askYesNo(kCaption,
                            QStringLiteral("「%1」の印刷位置の調整を消しますか？").arg(name),
                            MessageIcon::Question, false)) {
        return;
    }
    const FileResult saved = forgetCalibration(folder_, name);
    if (!saved.ok) {
        messages_.tell(kCaption,
                       QStringLiteral("印刷位置の調整を消せませんでした。\n") + saved.error,
                       MessageIcon::Critical);
    }
    showStored();
}

}  // namespace zukaro
