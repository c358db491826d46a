#include "ProductListWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "ColumnMappingDialog.h"
#include "CommonDialog1.h"
#include "LabelFile.h"
#include "LabelLayout.h"
#include "MessageBoxes.h"
#include "ProductListModel.h"
#include "ProductListSource.h"
#include "ProductMaster.h"
#include "ProductRows.h"
#include "SheetCommands.h"
#include "WindowFit.h"

namespace zukaro {
namespace {

const QString kCaption = QStringLiteral("商品リスト");
const QString kListFilter = QStringLiteral(
    "商品リスト (*.csv *.tsv *.txt *.xlsx)|*.csv;*.tsv;*.txt;*.xlsx|すべてのファイル (*.*)|*.*|");
const QString kLabelFilter =
    QStringLiteral("テキスト ファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*|");

QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// NAME-001.csv, NAME-002.csv, ... beside the name the user chose.
QStringList numberedFiles(const QString& chosen, std::size_t count) {
    const QFileInfo info(chosen);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("csv") : info.suffix();
    QStringList files;
    for (std::size_t i = 1; i <= count; ++i) {
        files << info.dir().filePath(QStringLiteral("%1-%2.%3")
                                         .arg(info.completeBaseName())
                                         .arg(i, 3, 10, QLatin1Char('0'))
                                         .arg(suffix));
    }
    return files;
}

}  // namespace

ProductListWindow::ProductListWindow(CommonDialog1& dialog, MessageBoxes& messages,
                                     ProductListHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window),
      dialog_(dialog),
      messages_(messages),
      hooks_(std::move(hooks)),
      model_(new ProductListModel(this)),
      proxy_(new QSortFilterProxyModel(this)) {
    setObjectName(QStringLiteral("商品リスト"));
    setWindowTitle(QStringLiteral("ズカロ 商品リスト"));

    auto* openButton = button(QStringLiteral("開く"), QStringLiteral("ファイルを開く..."), this);
    auto* pasteButton = button(QStringLiteral("貼り付け"), QStringLiteral("貼り付け"), this);
    auto* columnsButton =
        button(QStringLiteral("列の割り当て"), QStringLiteral("列の割り当て..."), this);
    filter = new QLineEdit(this);
    filter->setObjectName(QStringLiteral("絞り込み"));
    filter->setPlaceholderText(QStringLiteral("絞り込み"));
    filter->setClearButtonEnabled(true);
    auto* top = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(openButton), static_cast<QWidget*>(pasteButton),
                       static_cast<QWidget*>(columnsButton)}) {
        top->addWidget(w);
    }
    top->addStretch();
    top->addWidget(filter);

    proxy_->setSourceModel(model_);
    proxy_->setFilterKeyColumn(-1);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    table = new QTableView(this);
    table->setObjectName(QStringLiteral("商品表"));
    table->setModel(proxy_);
    table->setSortingEnabled(true);
    table->sortByColumn(-1, Qt::AscendingOrder);  // list order until a header is clicked
    table->horizontalHeader()->setStretchLastSection(true);

    problems = new QPlainTextEdit(this);
    problems->setObjectName(QStringLiteral("問題"));
    problems->setReadOnly(true);
    problems->setMaximumHeight(90);
    problems->setPlaceholderText(
        QStringLiteral("読み込めなかった行や、バーコードにならない行が"
                       "ここに出ます。"));

    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("概要"));
    start = new QSpinBox(this);
    start->setObjectName(QStringLiteral("開始位置"));
    start->setRange(1, kLabelCount);
    sheetNumber = new QSpinBox(this);
    sheetNumber->setObjectName(QStringLiteral("シート番号"));
    sheetNumber->setRange(1, 1);
    openInEditor = button(QStringLiteral("入力画面で開く"), QStringLiteral("入力画面で開く"), this);
    save = button(QStringLiteral("まとめて保存"), QStringLiteral("まとめて保存..."), this);
    print = button(QStringLiteral("まとめて印刷"), QStringLiteral("まとめて印刷..."), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("開始位置"), this));
    bottom->addWidget(start);
    bottom->addWidget(summary, 1);
    bottom->addWidget(new QLabel(QStringLiteral("シート"), this));
    bottom->addWidget(sheetNumber);
    for (QWidget* w : {openInEditor, save, print}) {
        bottom->addWidget(w);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table, 1);
    layout->addWidget(problems);
    layout->addLayout(bottom);
    // On a small or scaled screen the table gives up its height, never the rows of buttons.
    table->setMinimumHeight(table->verticalHeader()->defaultSectionSize() * 3);
    problems->setMinimumHeight(problems->fontMetrics().lineSpacing() * 2);
    QSize size(900, 600);
    if (const QScreen* room = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(room->availableGeometry().size());
    }
    resize(size);
    keepInsideScreen(*this);

    connect(openButton, &QPushButton::clicked, this, [this] { openFile(); });
    connect(pasteButton, &QPushButton::clicked, this, [this] { pasteFromClipboard(); });
    connect(columnsButton, &QPushButton::clicked, this, [this] { changeColumns(); });
    connect(openInEditor, &QPushButton::clicked, this, [this] { openSheetInEditor(); });
    connect(save, &QPushButton::clicked, this, [this] { saveAll(); });
    connect(print, &QPushButton::clicked, this, [this] { printAll(); });
    connect(filter, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
    connect(start, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] { refresh(); });
    refresh();
}

ProductListWindow::~ProductListWindow() = default;

bool ProductListWindow::importFile(const QString& path) {
    const bool shown = showList(readProductFile(path), QDir::toNativeSeparators(path), false);
    if (shown) {
        listFile_ = path;
    }
    return shown;
}

bool ProductListWindow::pasteRows(const QString& text) {
    return showList(readPastedRows(text), QStringLiteral("貼り付け"), true);
}

bool ProductListWindow::showList(const SourceResult& source, const QString& name, bool append) {
    if (!source.ok) {
        messages_.tell(kCaption, source.error, MessageIcon::Critical);
        return false;
    }
    const ColumnMapping mapping = ColumnMapping::detect(source.table, hooks_.columns);
    if (const QString refused = notAProductList(source.table, mapping, name);
        !refused.isEmpty()) {
        messages_.tell(kCaption, refused, MessageIcon::Critical);
        return false;
    }
    table_ = source.table;
    mapping_ = mapping;
    ProductList list = toProductRows(table_, mapping_);
    // Pasted rows are numbered within their paste; the list keeps its name.
    pastes_ = append ? pastes_ + 1 : 0;
    for (ProductRow& row : list.rows) {
        row.batch = pastes_;
    }
    for (RowProblem& problem : list.problems) {
        problem.batch = pastes_;
    }
    readProblems_ = append ? readProblems_ : std::vector<RowProblem>{};
    readProblems_.insert(readProblems_.end(), list.problems.begin(), list.problems.end());
    append ? model_->appendRows(list.rows) : model_->setRows(list.rows);
    if (!append || listName_.isEmpty()) {
        listName_ = QStringLiteral("%1 (%2)").arg(name, source.format);
    }
    if (!append) {
        listFile_.clear();
    }
    QString note = QStringLiteral("%1: %2 行").arg(listName_).arg(model_->rowCount());
    if (pastes_ > 0) {
        note += QStringLiteral("（うち貼り付け %1 回）").arg(pastes_);
    }
    // The shop's product master learns every list, by JAN code.
    if (hooks_.master != nullptr && hooks_.master->isOpen()) {
        const ProductMaster::ImportResult kept = hooks_.master->importRows(list.rows);
        note += kept.ok ? QStringLiteral("、商品マスタに %1 件追加・%2 件更新")
                              .arg(kept.added)
                              .arg(kept.updated)
                        : QStringLiteral("、商品マスタに登録できませんでした");
        if (!kept.ok) {
            messages_.tell(kCaption, kept.error, MessageIcon::Exclamation);
        }
    }
    setWindowTitle(QStringLiteral("ズカロ 商品リスト - ") + note);
    refresh();
    return true;
}

ListSheets ProductListWindow::sheets() const {
    const SheetState base = hooks_.base ? hooks_.base() : SheetState{};
    return layOutSheets(model_->rowsToPrint(), base, start->value());
}

void ProductListWindow::refresh() {
    const std::vector<ProductRow> rows = model_->rowsToPrint();
    const SheetState base = hooks_.base ? hooks_.base() : SheetState{};
    const ListSheets laid = layOutSheets(rows, base, start->value());
    // How the labels come out on paper, by the row they came from.
    std::vector<RowProblem> notes = laid.problems;
    for (const RowNote& note : notesByRow(laid.sheets, laid.labelRows)) {
        const ProductRow& row = rows[static_cast<std::size_t>(note.row - 1)];
        notes.push_back({row.line, note.text, true, row.batch});
    }
    QStringList lines;
    for (const RowProblem& problem : inLineOrder(readProblems_, notes)) {
        lines << problem.text();
    }
    problems->setPlainText(lines.join(u'\n'));
    const int count = static_cast<int>(laid.sheets.size());
    summary->setText(
        QStringLiteral("印刷するラベル %1 枚、シート %2 枚").arg(laid.labels).arg(count));
    sheetNumber->setRange(1, std::max(count, 1));
    for (QPushButton* b : {openInEditor, save, print}) {
        b->setEnabled(count > 0);
    }
}

void ProductListWindow::openFile() {
    QString path;
    if (dialog_.showOpen(kListFilter, path) != kCancelError) {
        importFile(path);
    }
}

void ProductListWindow::pasteFromClipboard() {
    const QString text = QApplication::clipboard()->text();
    if (text.trimmed().isEmpty()) {
        messages_.tell(kCaption,
                       QStringLiteral("クリップボードに貼り付ける行がありません。表計算ソフトで"
                                      "行を選んでコピーしてから、もう一度押してください。"),
                       MessageIcon::Exclamation);
        return;
    }
    pasteRows(text);
}

void ProductListWindow::changeColumns() {
    if (table_.rows.empty()) {
        return;
    }
    ColumnMappingDialog choose(table_, mapping_, this);
    if (choose.exec() != QDialog::Accepted) {
        return;
    }
    mapping_ = choose.mapping();
    if (hooks_.columns != nullptr && mapping_.headerRow() >= 0) {
        mapping_.remember(*hooks_.columns,
                          table_.rows[static_cast<std::size_t>(mapping_.headerRow())].cells);
    }
    ProductList list = toProductRows(table_, mapping_);
    for (ProductRow& row : list.rows) {
        row.batch = pastes_;
    }
    for (RowProblem& problem : list.problems) {
        problem.batch = pastes_;
    }
    readProblems_ = list.problems;
    model_->setRows(list.rows);
    refresh();
}

void ProductListWindow::openSheetInEditor() {
    const ListSheets laid = sheets();
    const auto index = static_cast<std::size_t>(sheetNumber->value() - 1);
    if (index < laid.sheets.size() && hooks_.openInEditor) {
        hooks_.openInEditor(
            laid.sheets[index],
            QStringLiteral("商品リスト %1/%2").arg(index + 1).arg(laid.sheets.size()));
    }
}

void ProductListWindow::saveAll() {
    const ListSheets laid = sheets();
    QString chosen;
    if (laid.sheets.empty() || dialog_.showSave(kLabelFilter, chosen) == kCancelError) {
        return;
    }
    const QStringList files = numberedFiles(chosen, laid.sheets.size());
    QStringList existing;
    std::vector<UnencodableText> unencodable;
    for (std::size_t i = 0; i < laid.sheets.size(); ++i) {
        if (QFileInfo::exists(files[static_cast<int>(i)])) {
            existing << QDir::toNativeSeparators(files[static_cast<int>(i)]);
        }
        const std::vector<UnencodableText> found = findUnencodable(laid.sheets[i]);
        unencodable.insert(unencodable.end(), found.begin(), found.end());
    }
    if (!existing.isEmpty() &&
        !messages_.askYesNo(kCaption,
                            QStringLiteral("次のファイルはすでに存在します。上書きしますか?\n") +
                                existing.join(u'\n'),
                            MessageIcon::Exclamation, false)) {
        return;
    }
    if (!unencodable.empty() &&
        !messages_.askYesNo(kCaption,
                            QStringLiteral("次の文字は Shift_JIS で保存できません。\n") +
                                describeUnencodable(unencodable) +
                                QStringLiteral("\n\nこれらの文字を「?」に置き換えて保存しますか？"),
                            MessageIcon::Exclamation, false)) {
        return;
    }
    for (std::size_t i = 0; i < laid.sheets.size(); ++i) {
        const FileResult written = writeLabelFile(files[static_cast<int>(i)], laid.sheets[i],
                                                  UnencodablePolicy::WriteQuestionMark);
        if (!written.ok) {
            messages_.tell(kCaption,
                           written.error + QStringLiteral("\n%1 枚のうち %2 枚を保存しました。")
                                               .arg(laid.sheets.size())
                                               .arg(i),
                           MessageIcon::Critical);
            return;
        }
    }
    messages_.tell(
        kCaption,
        QStringLiteral("%1 枚のシートを保存しました。\n%2 から %3")
            .arg(laid.sheets.size())
            .arg(QDir::toNativeSeparators(files.first()), QFileInfo(files.last()).fileName()),
        MessageIcon::Information);
}

void ProductListWindow::printAll() {
    const ListSheets laid = sheets();
    dialog_.suggestPdfFile(suggestedPdfFile(listFile_));
    if (laid.sheets.empty() || dialog_.showPrinter(printer_) == kCancelError) {
        return;
    }
    std::vector<const SheetState*> pages;
    for (const SheetState& sheet : laid.sheets) {
        pages.push_back(&sheet);
    }
    QString warning;
    const PrinterCalibration calibration = calibrationOf(printer_, hooks_.settingsFolder, warning);
    if (!warning.isEmpty()) {
        messages_.tell(kCaption, warning, MessageIcon::Exclamation);
    }
    const QString failure = printPagesOn(pages, printer_, calibration);
    if (!failure.isEmpty()) {
        messages_.tell(kCaption, failure, MessageIcon::Critical);
    }
}

}  // namespace zukaro
