#include "ProductListWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <optional>

#include "BackgroundWork.h"
#include "ColumnMappingDialog.h"
#include "CommonDialog1.h"
#include "Cp932.h"
#include "CupsJob.h"
#include "IniFile.h"
#include "LabelFile.h"
#include "LabelLayout.h"
#include "MessageBoxes.h"
#include "PrintHistory.h"
#include "ProductListModel.h"
#include "ProductListSource.h"
#include "ProductMaster.h"
#include "ProductRows.h"
#include "SafeFile.h"
#include "ScratchFile.h"
#include "SheetCommands.h"
#include "SheetRenderer.h"
#include "ShownText.h"
#include "SystemError.h"
#include "UserFiles.h"
#include "WindowFit.h"

namespace zukaro {
namespace {

const QString kCaption = QStringLiteral("商品リスト");
// The next start on a partly used sheet, kept per user beside the printers' calibrations in
// kListSettingsFile.
const QString kNextStartKey = QStringLiteral("NextStart/label");
const QString kNextStartTimeKey = QStringLiteral("NextStart/printedAt");
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

// A list this long is not checked for how its labels come out on paper: some seconds of work,
// and it cannot print in one job anyway. A shorter one is checked again, on the window's
// thread, when the editor's layout has changed since.
constexpr std::size_t kMaxCheckedRows = 100'000;
constexpr std::size_t kRecheckedRows = 1'000;

// How the labels of the rows come out on paper with `base`'s layout (LabelLayout), by row
// index: each row with a product name checked once.
LabelNotes labelNotes(const std::vector<ProductRow>& rows, const std::vector<RowCheck>& checks,
                      const SheetState& base, WorkProgress* progress) {
    constexpr std::size_t kRowsPerStep = 20 * kLabelCount;
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (checks[i].hasProduct) {
            named.push_back(i);
        }
    }
    const SheetPlan plan(planRowsOf(rows), 1, nullptr, &checks);
    beginStep(progress, QStringLiteral("ラベルの仕上がりを確かめています"),
              static_cast<qint64>(named.size()));
    LabelNotes notes;
    for (std::size_t first = 0; first < named.size() && !cancelledBy(progress);
         first += kRowsPerStep) {
        reportDone(progress, static_cast<qint64>(first));
        notesByRow(
            std::min(kRowsPerStep, named.size() - first),
            [&](std::size_t i) { return plan.label(named[first + i], base.layout); }, base,
            [&](const RowNote& note) { notes.emplace_back(named[first + note.row], note.text); });
    }
    return notes;
}

// How rows stand against the labels last printed for their codes, asked of the master in one
// read. Only changed rows keep words for the table: a long list that was all printed before
// must not hold its old labels twice.
struct Marked {
    bool asked = false;
    QString error;  // the master could not be read
    std::vector<ChangeMark> marks;
    QHash<std::size_t, ProductListModel::Printed> printed;
};

Marked markRows(const std::vector<ProductRow>& rows, ProductMaster& master, int defaultRate,
                WorkProgress& progress) {
    Marked out;
    progress.beginStep(QStringLiteral("前回の印刷と比べています"), 0);
    QStringList keys;
    keys.reserve(static_cast<qsizetype>(rows.size()));
    for (const ProductRow& row : rows) {
        keys << printedKey(row.jan);
    }
    const ProductMaster::PrintedResult found = master.lastPrinted(keys);
    if (!found.ok) {
        out.error = found.error;
        return out;
    }
    out.asked = true;
    out.marks.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto last = found.labels.constFind(keys[static_cast<qsizetype>(i)]);
        if (last == found.labels.cend()) {
            out.marks.push_back(ChangeMark::New);
            continue;
        }
        const ChangeMark mark = changeMark(rows[i], *last, defaultRate);
        out.marks.push_back(mark);
        if (mark != ChangeMark::Unchanged) {
            out.printed.insert(
                i,
                {last->price.isEmpty() ? QStringLiteral("なし") : last->price,
                 describeChange(rows[i], *last, defaultRate) + QStringLiteral("\n前回の印刷: ") +
                     last->printedAt.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"))});
        }
    }
    return out;
}

// The products of a list and what laying each out has to say, read on the worker's thread.
struct Loaded {
    ReadProducts read;
    std::vector<ProductRow> rows;
    std::vector<RowCheck> checks;
    LabelNotes notes;
    bool notesChecked = false;
    bool cancelled = false;
    Marked marked;
};

Loaded load(const std::function<SourceResult(const RowSink&, WorkProgress&)>& reader,
            QSettings* remembered, const std::optional<ColumnMapping>& given,
            const SheetState& base, const QString& name, const RowOptions& options,
            WorkProgress& progress) {
    constexpr std::size_t kRowsPerStep = 4096;
    Loaded out;
    out.read =
        readProducts([&](const RowSink& take) { return reader(take, progress); }, remembered, given,
                     [&out](ProductRow&& row) { out.rows.push_back(std::move(row)); }, options);
    out.cancelled = out.read.source.cancelled;
    if (!out.read.source.ok) {
        return out;
    }
    // Columns the clerk chose are taken as chosen; a file found to be no product list is not.
    if (!given) {
        if (QString refused = notAProductList(out.read.head, out.read.mapping, name);
            !refused.isEmpty()) {
            out.read.source = {false, false, std::move(refused), {}, {}};
            out.rows.clear();
            return out;
        }
    }
    progress.beginStep(QStringLiteral("行を確かめています"), static_cast<qint64>(out.rows.size()));
    out.checks.reserve(out.rows.size());
    for (std::size_t i = 0; i < out.rows.size(); ++i) {
        if (i % kRowsPerStep == 0) {
            progress.setDone(static_cast<qint64>(i));
            if (progress.cancelled()) {
                out.cancelled = true;
                return out;
            }
        }
        out.checks.push_back(checkRow(out.rows[i]));
    }
    out.notesChecked = out.rows.size() <= kMaxCheckedRows;
    if (out.notesChecked) {
        out.notes = labelNotes(out.rows, out.checks, base, &progress);
        out.cancelled = progress.cancelled();
    }
    return out;
}

// The paste (0: the list's file) the rows and their problems came from.
void numberBatch(Loaded& loaded, int batch) {
    for (ProductRow& row : loaded.rows) {
        row.batch = batch;
    }
    for (RowProblem& problem : loaded.read.problems.problems) {
        problem.batch = batch;
    }
}

// At most ten lines of a list for a question, then how many more there are.
QString firstLines(const QStringList& lines) {
    constexpr qsizetype kShown = 10;
    QStringList shown = lines.mid(0, kShown);
    if (lines.size() > kShown) {
        shown << QStringLiteral("ほか %1 件").arg(countText(lines.size() - kShown));
    }
    return shown.join(u'\n');
}

// The characters Shift_JIS cannot hold in what a save writes: the layout's, then each row's.
QStringList unencodableLines(const SheetPlan& plan, const std::vector<ProductRow>& rows,
                             const Layout& layout) {
    QStringList lines =
        describeUnencodable(findUnencodable(layout), INT_MAX).split(u'\n', Qt::SkipEmptyParts);
    for (const std::size_t index : plan.rowsWithUnencodableText()) {
        const ProductRow& row = rows[index];
        const std::pair<ProductColumn, const QString*> texts[] = {
            {ProductColumn::Jan, &row.jan},         {ProductColumn::Maker, &row.maker},
            {ProductColumn::Product, &row.product}, {ProductColumn::Spec, &row.spec},
            {ProductColumn::Lot, &row.lot},         {ProductColumn::Price, &row.price}};
        for (const auto& [column, text] : texts) {
            for (const cp932::Unencodable& u : cp932::findUnencodable(*text)) {
                const char32_t c = u.character;
                lines << QStringLiteral("%1 行目の%2「%3」の「%4」")
                             .arg(QString::number(row.line), displayName(column), shownText(*text),
                                  QString::fromUcs4(&c, 1));
            }
        }
    }
    return lines;
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
    // A JAN code is read digit by digit against the shelf: all thirteen shown, never elided.
    // The check box and copies columns need little room, and give it to the names.
    const QFontMetrics metrics(table->font());
    table->setColumnWidth(ProductListModel::Jan,
                          metrics.horizontalAdvance(QStringLiteral("4901234567894")) +
                              metrics.averageCharWidth() * 3);
    for (const int narrow : {ProductListModel::Print, ProductListModel::Copies}) {
        table->setColumnWidth(narrow, metrics.horizontalAdvance(QStringLiteral("印刷")) +
                                          metrics.averageCharWidth() * 4);
    }

    problems = new QPlainTextEdit(this);
    problems->setObjectName(QStringLiteral("問題"));
    problems->setReadOnly(true);
    problems->setMaximumHeight(90);
    problems->setPlaceholderText(
        QStringLiteral("読み込めなかった行や、バーコードにならない行が"
                       "ここに出ます。"));

    widenKatakana = new QCheckBox(QStringLiteral("半角カナを全角に"), this);
    widenKatakana->setObjectName(QStringLiteral("半角カナを全角に"));
    widenKatakana->setChecked(true);
    widenKatakana->setToolTip(
        QStringLiteral("次に読み込むリストの、品名などの半角カタカナを"
                       "全角にします。"));
    changedOnly = new QCheckBox(QStringLiteral("変更分だけ"), this);
    changedOnly->setObjectName(QStringLiteral("変更分だけ"));
    changedOnly->setToolTip(
        QStringLiteral("前回の印刷から新しい行・変わった行（新規、価格変更、"
                       "表示変更）だけに「印刷」のチェックを付けます。"));
    top->addWidget(widenKatakana);
    top->addWidget(changedOnly);

    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("概要"));
    start = new QSpinBox(this);
    start->setObjectName(QStringLiteral("開始位置"));
    start->setRange(1, kLabelCount);
    nextStartNote = new QLabel(this);
    nextStartNote->setObjectName(QStringLiteral("前回の続きの説明"));
    nextStart = button(QStringLiteral("前回の続き"), QString(), this);
    sheetNumber = new QSpinBox(this);
    sheetNumber->setObjectName(QStringLiteral("シート番号"));
    sheetNumber->setRange(1, 1);
    openInEditor = button(QStringLiteral("入力画面で開く"), QStringLiteral("入力画面で開く"), this);
    save = button(QStringLiteral("まとめて保存"), QStringLiteral("まとめて保存..."), this);
    print = button(QStringLiteral("まとめて印刷"), QStringLiteral("まとめて印刷..."), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("開始位置"), this));
    bottom->addWidget(start);
    bottom->addWidget(nextStartNote);
    bottom->addWidget(nextStart);
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
    connect(start, &QSpinBox::valueChanged, this, [this] {
        showNextStart();
        refresh();
    });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] { refresh(); });
    connect(changedOnly, &QCheckBox::toggled, this, [this](bool only) {
        if (model_->hasMarks()) {
            model_->chooseChanged(only);
        }
    });
    connect(nextStart, &QPushButton::clicked, this, [this] {
        if (offeredStart_ > 0) {
            start->setValue(offeredStart_);
        }
    });
    if (!hooks_.settingsFolder.isEmpty()) {
        const IniFile kept = openIniFile(QDir(hooks_.settingsFolder).filePath(kListSettingsFile));
        const int label = kept.settings ? kept.settings->value(kNextStartKey).toInt() : 0;
        if (label > 1 && label <= kLabelCount) {
            offeredStart_ = label;
            offeredAfter_ = kept.settings->value(kNextStartTimeKey).toDateTime();
        }
        if (!kept.error.isEmpty()) {  // told once the window is up
            QTimer::singleShot(0, this, [this, error = kept.error] {
                messages_.tell(kCaption,
                               error + QStringLiteral("前回の続きの開始位置は使いません。"),
                               MessageIcon::Exclamation);
            });
        }
    }
    showNextStart();
    refresh();
}

ProductListWindow::~ProductListWindow() = default;

bool ProductListWindow::importFile(const QString& path) {
    const bool shown = loadList(
        [path](const RowSink& take, WorkProgress& progress) {
            return readProductFileRows(path, take, &progress);
        },
        QDir::toNativeSeparators(path), false);
    if (shown) {
        listFile_ = path;
    }
    return shown;
}

bool ProductListWindow::pasteRows(const QString& text) {
    return loadList(
        [text](const RowSink& take, WorkProgress& progress) {
            return readPastedRows(text, take, &progress);
        },
        QStringLiteral("貼り付け"), true);
}

bool ProductListWindow::loadList(Reader read, const QString& name, bool append) {
    Loaded loaded;
    std::optional<ProductMaster::ImportResult> kept;
    QSettings* const columns = hooks_.columns;
    ProductMaster* const master = hooks_.master;
    const SheetState base = baseSheet();
    const RowOptions options{widenKatakana->isChecked()};
    const QString failure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            loaded = load(read, columns, std::nullopt, base, name, options, progress);
            if (loaded.read.source.ok && !loaded.cancelled && master != nullptr) {
                // The window's connection belongs to the window's thread: the import has its
                // own, and one transaction, so that a cancelled import stores nothing.
                const std::unique_ptr<ProductMaster> connection = master->another();
                kept = connection->importRows(loaded.rows, &progress);
                if (!kept->cancelled) {
                    loaded.marked =
                        markRows(loaded.rows, *connection, base.layout.defaultTaxRate, progress);
                }
            }
        });
    if (!failure.isEmpty()) {
        messages_.tell(kCaption, failure, MessageIcon::Critical);
        return false;
    }
    const bool stored = kept && kept->ok;
    if (!stored && (loaded.cancelled || (kept && kept->cancelled))) {
        messages_.tell(kCaption,
                       QStringLiteral("「%1」の読み込みを取り消しました。リストも商品マスタも"
                                      "前のままです。")
                           .arg(name),
                       MessageIcon::Information);
        return false;
    }
    if (!loaded.read.source.ok) {
        messages_.tell(kCaption, loaded.read.source.error, MessageIcon::Critical);
        return false;
    }
    reader_ = std::move(read);
    head_ = std::move(loaded.read.head);
    mapping_ = loaded.read.mapping;
    // Pasted rows are numbered within their paste; the list keeps its name.
    pastes_ = append ? pastes_ + 1 : 0;
    numberBatch(loaded, pastes_);
    const ProductList& reading = loaded.read.problems;
    if (!append) {
        readProblems_.clear();
        readProblemCount_ = 0;
        listFile_.clear();
    }
    readProblems_ = inLineOrder(std::move(readProblems_), reading.problems);
    readProblems_.resize(std::min(readProblems_.size(), kKeptProblems));
    readProblemCount_ += reading.problemCount;
    const std::size_t before = append ? model_->rows().size() : 0;
    if (!append) {
        labelNotes_.clear();
        notesChecked_ = true;
    }
    for (auto& [row, note] : loaded.notes) {
        labelNotes_.emplace_back(before + row, std::move(note));
    }
    notesChecked_ = notesChecked_ && loaded.notesChecked;
    notesLayout_ = base.layout;
    append ? model_->appendRows(std::move(loaded.rows), std::move(loaded.checks))
           : model_->setRows(std::move(loaded.rows), std::move(loaded.checks));
    if (loaded.marked.asked) {
        model_->setMarks(before, std::move(loaded.marked.marks), std::move(loaded.marked.printed));
        if (changedOnly->isChecked()) {
            model_->chooseChanged(true, before);
        }
    } else if (!loaded.marked.error.isEmpty()) {
        messages_.tell(kCaption,
                       QStringLiteral("前回の印刷と比べられませんでした。どの行も印刷します。\n") +
                           loaded.marked.error,
                       MessageIcon::Exclamation);
    }
    if (!append) {
        start->setValue(1);  // another list starts a sheet, unless the clerk takes the offer
    }
    if (!append || listName_.isEmpty()) {
        listName_ = QStringLiteral("%1 (%2)").arg(name, loaded.read.source.format);
    }
    QString note = QStringLiteral("%1: %2 行").arg(listName_, countText(model_->rowCount()));
    if (pastes_ > 0) {
        note += QStringLiteral("（うち貼り付け %1 回）").arg(pastes_);
    }
    // The shop's product master learns every list, by JAN code.
    if (kept) {
        note += stored ? QStringLiteral("、商品マスタに %1 件追加・%2 件更新")
                             .arg(countText(kept->added), countText(kept->updated))
                       : QStringLiteral("、商品マスタに登録できませんでした");
        if (!stored) {
            messages_.tell(kCaption, kept->error, MessageIcon::Exclamation);
        }
    }
    setWindowTitle(QStringLiteral("ズカロ 商品リスト - ") + note);
    refresh();
    return true;
}

SheetPlan ProductListWindow::plan() const {
    return SheetPlan(planRowsOf(model_->rows()), start->value(), &model_->chosen(),
                     &model_->checks());
}

SheetState ProductListWindow::baseSheet() const {
    return hooks_.base ? hooks_.base() : SheetState{};
}

SheetState ProductListWindow::sheet(qint64 index) const {
    return plan().sheet(index, baseSheet());
}

void ProductListWindow::refresh() {
    const SheetPlan laid = plan();
    const std::vector<ProductRow>& rows = model_->rows();
    const SheetState base = baseSheet();
    if (notesChecked_ && notesLayout_ != base.layout && rows.size() <= kRecheckedRows) {
        labelNotes_ = labelNotes(rows, model_->checks(), base, nullptr);
        notesLayout_ = base.layout;
    }
    // How the labels come out on paper, by the row they came from: the rows that print.
    std::vector<RowProblem> notes = laid.problems();
    qint64 all = readProblemCount_ + laid.problemCount();
    for (const auto& [row, text] : labelNotes_) {
        if (model_->chosen()[row] && model_->checks()[row].copies > 0) {
            ++all;
            if (notes.size() < 2 * kKeptProblems) {
                notes.push_back({rows[row].line, text, true, rows[row].batch});
            }
        }
    }
    const std::vector<RowProblem> shown = inLineOrder(readProblems_, notes);
    QStringList lines;
    for (std::size_t i = 0; i < shown.size() && i < kKeptProblems; ++i) {
        lines << shown[i].text();
    }
    if (all > lines.size()) {
        lines << QStringLiteral("ほか %1 件").arg(countText(all - lines.size()));
    }
    if (!notesChecked_) {
        lines << QStringLiteral(
                     "行が %1 行を超えるため、ラベルの仕上がり（小さくする売価、重なり、"
                     "はみ出し）は確かめていません。")
                     .arg(countText(kMaxCheckedRows));
    }
    problems->setPlainText(lines.join(u'\n'));
    const qint64 count = laid.sheetCount();
    summary->setText(QStringLiteral("印刷するラベル %1 枚、シート %2 枚")
                         .arg(countText(laid.labels()), countText(count)) +
                     (laid.labels() > kMaxLabelsPerJob
                          ? QStringLiteral("（一度に保存・印刷できるのは %1 枚までです）")
                                .arg(countText(kMaxLabelsPerJob))
                          : QString()));
    sheetNumber->setRange(1, static_cast<int>(std::clamp<qint64>(count, 1, INT_MAX)));
    for (QPushButton* b : {openInEditor, save, print}) {
        b->setEnabled(count > 0);
    }
    changedOnly->setEnabled(model_->hasMarks());
}

bool ProductListWindow::allowedJob(const SheetPlan& laid) {
    if (laid.labels() <= kMaxLabelsPerJob) {
        return true;
    }
    messages_.tell(kCaption,
                   QStringLiteral("印刷するラベルが %1 枚あります。一度に保存・印刷できるのは %2 "
                                  "枚までです。印刷する行を減らすか、枚数を減らしてください。")
                       .arg(countText(laid.labels()), countText(kMaxLabelsPerJob)),
                   MessageIcon::Exclamation);
    return false;
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
    if (!reader_ || head_.rows.empty()) {
        return;
    }
    ColumnMappingDialog choose(head_, mapping_, this);
    if (choose.exec() != QDialog::Accepted) {
        return;
    }
    const ColumnMapping chosen = choose.mapping();
    const SheetState base = baseSheet();
    const RowOptions options{widenKatakana->isChecked()};
    ProductMaster* const master = hooks_.master;
    Loaded loaded;
    const QString failure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            loaded = load(reader_, nullptr, chosen, base, listName_, options, progress);
            if (loaded.read.source.ok && !loaded.cancelled && master != nullptr) {
                loaded.marked =
                    markRows(loaded.rows, *master->another(), base.layout.defaultTaxRate, progress);
            }
        });
    if (!failure.isEmpty() || (!loaded.read.source.ok && !loaded.cancelled)) {
        messages_.tell(kCaption, failure.isEmpty() ? loaded.read.source.error : failure,
                       MessageIcon::Critical);
        return;
    }
    if (loaded.cancelled) {
        return;
    }
    mapping_ = chosen;
    head_ = std::move(loaded.read.head);
    numberBatch(loaded, pastes_);
    if (hooks_.columns != nullptr && mapping_.headerRow() >= 0 &&
        mapping_.headerRow() < static_cast<int>(head_.rows.size())) {
        mapping_.remember(*hooks_.columns,
                          head_.rows[static_cast<std::size_t>(mapping_.headerRow())].cells);
    }
    readProblems_ = std::move(loaded.read.problems.problems);
    readProblemCount_ = loaded.read.problems.problemCount;
    labelNotes_ = std::move(loaded.notes);
    notesChecked_ = loaded.notesChecked;
    notesLayout_ = base.layout;
    model_->setRows(std::move(loaded.rows), std::move(loaded.checks));
    if (loaded.marked.asked) {
        model_->setMarks(0, std::move(loaded.marked.marks), std::move(loaded.marked.printed));
        if (changedOnly->isChecked()) {
            model_->chooseChanged(true);
        }
    }
    refresh();
}

void ProductListWindow::openSheetInEditor() {
    const SheetPlan laid = plan();
    const qint64 index = sheetNumber->value() - 1;
    if (index < laid.sheetCount() && hooks_.openInEditor) {
        hooks_.openInEditor(
            laid.sheet(index, baseSheet()),
            QStringLiteral("商品リスト %1/%2").arg(index + 1).arg(laid.sheetCount()));
    }
}

void ProductListWindow::saveAll() {
    const SheetPlan laid = plan();
    QString chosen;
    if (laid.sheetCount() == 0 || !allowedJob(laid) ||
        dialog_.showSave(kLabelFilter, chosen) == kCancelError) {
        return;
    }
    const qint64 count = laid.sheetCount();
    const QStringList files = numberedFiles(chosen, static_cast<std::size_t>(count));
    QStringList existing;
    for (const QString& file : files) {
        if (QFileInfo::exists(file)) {
            existing << QDir::toNativeSeparators(file);
        }
    }
    if (!existing.isEmpty() &&
        !messages_.askYesNo(kCaption,
                            QStringLiteral("次のファイルはすでに存在します。上書きしますか?\n") +
                                firstLines(existing),
                            MessageIcon::Exclamation, false)) {
        return;
    }
    const SheetState base = baseSheet();
    const QStringList unencodable = unencodableLines(laid, model_->rows(), base.layout);
    if (!unencodable.isEmpty() &&
        !messages_.askYesNo(kCaption,
                            QStringLiteral("次の文字は Shift_JIS で保存できません。\n") +
                                firstLines(unencodable) +
                                QStringLiteral("\n\nこれらの文字を「?」に置き換えて保存しますか？"),
                            MessageIcon::Exclamation, false)) {
        return;
    }
    qint64 saved = 0;
    FileResult refused{true, {}, {}};
    const QString failure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            progress.beginStep(QStringLiteral("ラベルのファイルを保存しています"), count);
            for (qint64 i = 0; i < count && !progress.cancelled(); ++i) {
                progress.setDone(i);
                refused = writeLabelFile(files[static_cast<int>(i)], laid.sheet(i, base),
                                         UnencodablePolicy::WriteQuestionMark);
                if (!refused.ok) {
                    return;
                }
                saved = i + 1;
            }
        });
    // Each file is whole or not there: those saved so far are complete, and named.
    const QString which = saved == 0
                              ? QString()
                              : QStringLiteral("\n保存したのは %1 から %2 までです。")
                                    .arg(QDir::toNativeSeparators(files.first()),
                                         QFileInfo(files[static_cast<int>(saved - 1)]).fileName());
    const QString tally =
        QStringLiteral("%1 枚のうち %2 枚を保存しました。").arg(countText(count), countText(saved));
    if (!failure.isEmpty() || !refused.ok) {
        messages_.tell(kCaption,
                       (failure.isEmpty() ? refused.error : failure) + u'\n' + tally + which,
                       MessageIcon::Critical);
    } else if (saved < count) {
        messages_.tell(kCaption,
                       QStringLiteral("保存を取り消しました。") + tally + which +
                           QStringLiteral("\nどのファイルも最後まで書いてあります。残りは保存して"
                                          "いません。"),
                       MessageIcon::Information);
    } else {
        messages_.tell(kCaption,
                       QStringLiteral("%1 枚のシートを保存しました。\n%2 から %3")
                           .arg(countText(count), QDir::toNativeSeparators(files.first()),
                                QFileInfo(files.last()).fileName()),
                       MessageIcon::Information);
        offerToRecord(laid, QStringLiteral("保存した"));
    }
}

void ProductListWindow::printAll() {
    const SheetPlan laid = plan();
    dialog_.suggestPdfFile(suggestedPdfFile(listFile_));
    if (laid.sheetCount() == 0 || !allowedJob(laid) ||
        dialog_.showPrinter(printer_) == kCancelError) {
        return;
    }
    // The pages go into a file of our own first: a PDF beside the one chosen, which replaces it
    // when complete, or the job for a printer, handed to CUPS when complete; a cancelled job
    // leaves neither.
    QString warning;
    const PrinterCalibration calibration = calibrationOf(printer_, hooks_.settingsFolder, warning);
    if (!warning.isEmpty()) {
        messages_.tell(kCaption, warning, MessageIcon::Exclamation);
    }
    const bool toPdf = printer_.outputFormat() == QPrinter::PdfFormat;
    const QString chosenFile = printer_.outputFileName();
    const QString shownName = toPdf ? QDir::toNativeSeparators(chosenFile) : printer_.printerName();
    std::optional<AtomicFile> pdf;
    ScratchFile job;
    if (toPdf) {
        pdf.emplace(chosenFile);
        if (const FileResult ready = pdf->begin(); !ready.ok) {
            messages_.tell(kCaption, ready.error, MessageIcon::Critical);
            return;
        }
        printer_.setOutputFileName(pdf->temporaryPath());
    } else {
        QString error;
        if (!job.create(error)) {
            messages_.tell(
                kCaption,
                QStringLiteral("プリンター「%1」に送る印刷データを作れません。").arg(shownName) +
                    error,
                MessageIcon::Critical);
            return;
        }
        printer_.setOutputFileName(job.path());
    }
    const SheetState base = baseSheet();
    const qint64 count = laid.sheetCount();
    QString failure;
    bool cancelled = false;
    const QString workFailure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            progress.beginStep(QStringLiteral("「%1」に印刷しています").arg(shownName), count);
            failure = printOn(
                printer_, static_cast<std::size_t>(count),
                [&](draw::DrawTarget& target, std::size_t i) {
                    const SheetState page = laid.sheet(static_cast<qint64>(i), base);
                    drawSheet(page, target, RenderOptions::onPaper(page, calibration));
                },
                shownName,
                [&](std::size_t printed) {
                    progress.setDone(static_cast<qint64>(printed));
                    return !progress.cancelled();
                });
            cancelled = progress.cancelled();
        });
    printer_.setOutputFileName(toPdf ? chosenFile : QString());
    if (cancelled) {
        messages_.tell(
            kCaption,
            toPdf ? QStringLiteral("印刷を取り消しました。「%1」は前のままです。").arg(shownName)
                  : QStringLiteral("印刷を取り消しました。プリンター「%1」には何も"
                                   "送っていません。")
                        .arg(shownName),
            MessageIcon::Information);
        return;
    }
    if (!workFailure.isEmpty() || !failure.isEmpty()) {
        messages_.tell(kCaption, workFailure.isEmpty() ? failure : workFailure,
                       MessageIcon::Critical);
        return;
    }
    if (toPdf) {
        if (const FileResult written = pdf->commit(); !written.ok) {
            messages_.tell(kCaption, written.error, MessageIcon::Critical);
            return;
        }
    } else if (!submitJob(job, shownName)) {
        return;
    }
    rememberNextStart(laid);
    offerToRecord(laid, QStringLiteral("印刷した"));
}

bool ProductListWindow::submitJob(const ScratchFile& job, const QString& printerName) {
    const QByteArray bytes = job.readAll();
    if (!bytes.right(16).contains("%%EOF")) {
        const QString reason = whyCutShort(job.path());
        messages_.tell(
            kCaption,
            QStringLiteral("プリンター「%1」に送る印刷データを一時フォルダー「%2」に"
                           "書き終えられませんでした（%3）。シートは印刷されて"
                           "いません。")
                .arg(printerName, QDir::toNativeSeparators(QDir::tempPath()),
                     reason.isEmpty() ? QStringLiteral("空き容量を確かめてください") : reason),
            MessageIcon::Critical);
        return false;
    }
    // CUPS wants the queue's name without an instance ("queue/instance").
    const CupsJob submitted = submitToCups(printerName.section(u'/', 0, 0), job.path(),
                                           QStringLiteral("商品リスト"), cupsOptionsOf(printer_));
    if (submitted.id == 0) {
        messages_.tell(kCaption,
                       QStringLiteral("プリンター「%1」が印刷を受け付けませんでした。シートは"
                                      "印刷されていません。\n%2")
                           .arg(printerName, submitted.error),
                       MessageIcon::Critical);
        return false;
    }
    return true;
}

void ProductListWindow::offerToRecord(const SheetPlan& laid, const QString& done) {
    ProductMaster* const master = hooks_.master;
    const std::vector<std::size_t> rows = laid.printedRows();
    if (master == nullptr || rows.empty()) {
        return;
    }
    if (!messages_.askToDo(
            kCaption,
            QStringLiteral("%1 %2 行を、商品マスタに印刷済みとして一括で記録しますか？\n"
                           "記録した行は、次にリストを開いたとき「変更なし」になり、「変更分だけ」"
                           "では選ばれません。記録しなければ、商品マスタは何も変わりません。")
                .arg(done, countText(static_cast<qint64>(rows.size()))),
            MessageIcon::Question, QStringLiteral("一括で記録"), QStringLiteral("記録しない"))) {
        return;
    }
    const int rate = baseSheet().layout.defaultTaxRate;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::vector<PrintedLabel> labels;
    labels.reserve(rows.size());
    for (const std::size_t i : rows) {
        labels.push_back(printedLabelOf(model_->rows()[i], rate, now));
    }
    ProductMaster::RecordResult recorded;
    const QString failure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            recorded = master->another()->recordPrinted(labels, &progress);
        });
    if (!failure.isEmpty() || !recorded.ok) {
        messages_.tell(kCaption, failure.isEmpty() ? recorded.error : failure,
                       recorded.cancelled ? MessageIcon::Information : MessageIcon::Critical);
        return;
    }
    model_->markPrinted(rows);
    if (changedOnly->isChecked()) {
        model_->chooseChanged(true);
    }
}

void ProductListWindow::rememberNextStart(const SheetPlan& laid) {
    // Where the last label of the job fell on its sheet.
    const qint64 last = (start->value() - 1 + laid.labels() - 1) % kLabelCount + 1;
    offeredStart_ = last < kLabelCount ? static_cast<int>(last) + 1 : 0;
    offeredAfter_ = QDateTime::currentDateTime();
    if (!hooks_.settingsFolder.isEmpty()) {
        const QString path = QDir(hooks_.settingsFolder).filePath(kListSettingsFile);
        const IniFile file = openIniFile(path);
        if (file.settings) {
            QSettings& kept = *file.settings;
            if (offeredStart_ > 0) {
                kept.setValue(kNextStartKey, offeredStart_);
                kept.setValue(kNextStartTimeKey, offeredAfter_);
            } else {
                kept.remove(QStringLiteral("NextStart"));
            }
            kept.sync();
        }
        if (!file.settings || file.settings->status() != QSettings::NoError) {
            messages_.tell(kCaption,
                           QStringLiteral("次の開始位置を「%1」に書き込めませんでした。"
                                          "この画面を閉じるまでは覚えています。")
                                   .arg(QDir::toNativeSeparators(path)) +
                               file.error,
                           MessageIcon::Exclamation);
        }
    }
    showNextStart();
}

void ProductListWindow::showNextStart() {
    const bool offered = offeredStart_ > 0;
    nextStartNote->setVisible(offered);
    nextStart->setVisible(offered);
    if (!offered) {
        return;
    }
    const QString when =
        offeredAfter_.isValid()
            ? QStringLiteral("（%1）").arg(offeredAfter_.toString(QStringLiteral("M/d HH:mm")))
            : QString();
    nextStartNote->setText(
        QStringLiteral("前回の印刷はラベル %1 で終わりました%2").arg(offeredStart_ - 1).arg(when));
    nextStart->setText(QStringLiteral("%1 から").arg(offeredStart_));
    nextStart->setToolTip(
        QStringLiteral("使いかけのシートの続き、ラベル %1 から印刷します。").arg(offeredStart_));
    nextStart->setEnabled(start->value() != offeredStart_);
}

}  // namespace zukaro
