#include "ProductListWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QEvent>
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
#include "ListLoading.h"
#include "ListSession.h"
#include "ListSettings.h"
#include "MessageBoxes.h"
#include "PrintDayEdit.h"
#include "PrintHistory.h"
#include "PrintJob.h"
#include "ProductListModel.h"
#include "ProductListSource.h"
#include "ProductMaster.h"
#include "SafeFile.h"
#include "SheetFiles.h"
#include "SheetRenderer.h"
#include "ShownText.h"
#include "UserFiles.h"
#include "WindowFit.h"

namespace zukaro {
namespace {

const QString kCaption = QStringLiteral("商品リスト");

// The rows could not be marked against the history (`why`), or the clerk cancelled (empty).
QString notComparedNote(const QString& why) {
    return why.isEmpty()
               ? QStringLiteral("前回の印刷との比較を取り消しました。どの行も印刷します。")
               : QStringLiteral("前回の印刷と比べられませんでした。どの行も印刷します。\n") + why;
}
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

// At most ten lines of a list for a question, then how many more there are.
QString firstLines(const QStringList& lines) {
    constexpr qsizetype kShown = 10;
    QStringList shown = lines.mid(0, kShown);
    if (lines.size() > kShown) {
        shown << QStringLiteral("ほか %1 件").arg(countText(lines.size() - kShown));
    }
    return shown.join(u'\n');
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
    buildWidgets();
    wire();
    restoreNextStart();
    showNextStart();
    showMasterView();
    refresh();
}

QLabel* ProductListWindow::wrappingLabel(const QString& name) {
    // Texts that grow with what they say wrap instead of widening the window: it must fit a
    // laptop's screen at 125 % in every state.
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

QHBoxLayout* ProductListWindow::buildListCommands() {
    openButton = button(QStringLiteral("開く"), QStringLiteral("ファイルを開く..."), this);
    pasteButton = button(QStringLiteral("貼り付け"), QStringLiteral("貼り付け"), this);
    columnsButton = button(QStringLiteral("列の割り当て"), QStringLiteral("列の割り当て..."), this);
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
    return top;
}

void ProductListWindow::buildListChoices(QHBoxLayout& top) {
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
    top.addWidget(widenKatakana);
    top.addWidget(changedOnly);
}

void ProductListWindow::buildTable() {
    proxy_->setSourceModel(model_);
    proxy_->setFilterKeyColumn(-1);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    table = new QTableView(this);
    table->setObjectName(QStringLiteral("商品表"));
    table->setModel(proxy_);
    table->setSortingEnabled(true);
    table->sortByColumn(-1, Qt::AscendingOrder);  // list order until a header is clicked
    // A JAN code is read digit by digit against the shelf: all thirteen shown, never elided.
    // The product name gets the room the window has; the other columns what their usual
    // texts need (a lot number is often not there at all).
    const QFontMetrics metrics(table->font());
    const auto width = [&metrics](const QString& text) {
        return metrics.horizontalAdvance(text) + metrics.averageCharWidth() * 3;
    };
    const std::pair<int, QString> widths[] = {
        {ProductListModel::Print, QStringLiteral("印刷 ")},
        {ProductListModel::Copies, QStringLiteral("枚数 ")},
        {ProductListModel::Change, QStringLiteral("価格変更（前回 1,280）")},
        {ProductListModel::Jan, QStringLiteral("4901234567894")},
        {ProductListModel::Maker, QStringLiteral("サンプル食品")},
        {ProductListModel::Spec, QStringLiteral("500ml×24")},
        {ProductListModel::Lot, QStringLiteral("ロット")},
        {ProductListModel::Price, QStringLiteral("128000")},
        {ProductListModel::Rate, QStringLiteral("10% 内税")}};
    for (const auto& [column, text] : widths) {
        table->setColumnWidth(column, width(text));
    }
    table->horizontalHeader()->setStretchLastSection(false);
    table->horizontalHeader()->setSectionResizeMode(ProductListModel::Product,
                                                    QHeaderView::Stretch);

    problems = new QPlainTextEdit(this);
    problems->setObjectName(QStringLiteral("問題"));
    problems->setReadOnly(true);
    problems->setMaximumHeight(90);
    problems->setPlaceholderText(
        QStringLiteral("読み込めなかった行や、バーコードにならない行が"
                       "ここに出ます。"));
}

QHBoxLayout* ProductListWindow::buildMasterRow() {
    masterNote = wrappingLabel(QStringLiteral("マスターとの比較"));
    registerButton =
        button(QStringLiteral("マスターに登録"), QStringLiteral("マスターに登録"), this);
    registerButton->setToolTip(
        QStringLiteral("このリストの商品を、商品マスタに登録します（新規の追加と、変わった"
                       "売価・品名の更新）。"));
    taxIncluded = button(QStringLiteral("税込表示にする"), QStringLiteral("税込表示にする"), this);
    taxIncluded->setToolTip(
        QStringLiteral("総額表示を「税込表示」にします。税抜の売価に消費税を足した総額を"
                       "印刷します（入力画面のレイアウトが変わります）。"));
    auto* master = new QHBoxLayout;
    master->addWidget(masterNote, 1);
    master->addWidget(taxIncluded);
    master->addWidget(registerButton);
    return master;
}

void ProductListWindow::buildSheetRows(QVBoxLayout& layout) {
    summary = wrappingLabel(QStringLiteral("概要"));
    start = new QSpinBox(this);
    start->setObjectName(QStringLiteral("開始位置"));
    start->setRange(1, kLabelCount);
    nextStartNote = wrappingLabel(QStringLiteral("前回の続きの説明"));
    nextStart = button(QStringLiteral("前回の続き"), QString(), this);
    printDay = new PrintDayEdit(this);
    sheetNumber = new QSpinBox(this);
    sheetNumber->setObjectName(QStringLiteral("シート番号"));
    sheetNumber->setRange(1, 1);
    openInEditor = button(QStringLiteral("入力画面で開く"), QStringLiteral("入力画面で開く"), this);
    save = button(QStringLiteral("まとめて保存"), QStringLiteral("まとめて保存..."), this);
    print = button(QStringLiteral("まとめて印刷"), QStringLiteral("まとめて印刷..."), this);
    // Where the labels start, with the offer after a print, on a row of its own; what prints
    // and the commands on the last.
    auto* where = new QHBoxLayout;
    where->addWidget(new QLabel(QStringLiteral("開始位置"), this));
    where->addWidget(start);
    where->addWidget(nextStartNote, 1);
    where->addWidget(nextStart);
    where->addStretch();  // the room the offer leaves, when there is none
    where->addWidget(new QLabel(QStringLiteral("印刷日"), this));
    where->addWidget(printDay);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(summary, 1);
    bottom->addWidget(new QLabel(QStringLiteral("シート"), this));
    bottom->addWidget(sheetNumber);
    for (QWidget* w : {openInEditor, save, print}) {
        bottom->addWidget(w);
    }
    layout.addLayout(where);
    layout.addLayout(bottom);
}

void ProductListWindow::buildWidgets() {
    auto* layout = new QVBoxLayout(this);
    // Made in the order Tab walks them: the list's commands, the table, the choices for the
    // next list beside the filter.
    QHBoxLayout* top = buildListCommands();
    layout->addLayout(top);
    buildTable();
    buildListChoices(*top);
    layout->addWidget(table, 1);
    layout->addWidget(problems);
    layout->addLayout(buildMasterRow());
    buildSheetRows(*layout);
    // On a small or scaled screen the table gives up its height, never the rows of buttons.
    table->setMinimumHeight(table->verticalHeader()->defaultSectionSize() * 3);
    problems->setMinimumHeight(problems->fontMetrics().lineSpacing() * 2);
    QSize size(900, 600);
    if (const QScreen* room = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(room->availableGeometry().size());
    }
    resize(size);
    keepInsideScreen(*this);
}

void ProductListWindow::wire() {
    connect(openButton, &QPushButton::clicked, this, [this] { openFile(); });
    connect(pasteButton, &QPushButton::clicked, this, [this] { pasteFromClipboard(); });
    connect(columnsButton, &QPushButton::clicked, this, [this] { changeColumns(); });
    connect(openInEditor, &QPushButton::clicked, this, [this] { openSheetInEditor(); });
    connect(save, &QPushButton::clicked, this, [this] { saveAll(); });
    connect(print, &QPushButton::clicked, this, [this] { printAll(); });
    connect(registerButton, &QPushButton::clicked, this, [this] { registerWithMaster(); });
    connect(taxIncluded, &QPushButton::clicked, this, [this] { showTaxIncluded(); });
    connect(filter, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
    connect(start, &QSpinBox::valueChanged, this, [this] {
        showNextStart();
        refresh();
    });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] { refresh(); });
    connect(changedOnly, &QCheckBox::toggled, this, [this](bool only) {
        settleDay();
        if (model_->hasMarks()) {
            model_->chooseChanged(only);
        }
    });
    dayTyped_.setSingleShot(true);
    dayTyped_.setInterval(700);
    connect(&dayTyped_, &QTimer::timeout, this, [this] { markForDay(); });
    connect(printDay, &QDateEdit::dateChanged, this, [this] { dayTyped_.start(); });
    connect(printDay, &QDateEdit::editingFinished, this, [this] { settleDay(); });
    connect(nextStart, &QPushButton::clicked, this, [this] {
        if (offeredStart_ > 0) {
            start->setValue(offeredStart_);
        }
    });
}

void ProductListWindow::restoreNextStart() {
    if (!hooks_.settingsFolder.isEmpty()) {
        QString error;
        const NextStart kept = keptNextStart(listSettingsFile(), error);
        if (kept.label > 0) {
            offeredStart_ = kept.label;
            offeredAfter_ = kept.after;
        }
        if (!error.isEmpty()) {  // told once the window is up
            QTimer::singleShot(0, this, [this, error] {
                messages_.tell(kCaption,
                               error + QStringLiteral("前回の続きの開始位置は使いません。"),
                               MessageIcon::Exclamation);
            });
        }
    }
}

ProductListWindow::~ProductListWindow() = default;

void ProductListWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        printDay->followToday();
        refresh();
    }
}

QString ProductListWindow::listSettingsFile() const {
    return hooks_.settingsFolder.isEmpty()
               ? QString()
               : QDir(hooks_.settingsFolder).filePath(kListSettingsFile);
}

bool ProductListWindow::importFile(const QString& path) {
    const bool shown = loadList(
        [path](const RowSink& take, WorkProgress& progress) {
            return readProductFileRows(path, take, &progress);
        },
        QDir::toNativeSeparators(path), false, QFileInfo(path).lastModified());
    if (shown) {
        listFile_ = path;
        if (!hooks_.settingsFolder.isEmpty()) {
            keepLastListOpened(listSettingsFile(), path);
        }
    }
    return shown;
}

bool ProductListWindow::pasteRows(const QString& text) {
    return loadList(
        [text](const RowSink& take, WorkProgress& progress) {
            return readPastedRows(text, take, &progress);
        },
        QStringLiteral("貼り付け"), true, QDateTime::currentDateTime());
}

bool ProductListWindow::loadList(Reader read, const QString& name, bool append,
                                 const QDateTime& madeAt) {
    Loaded loaded;
    QSettings* const columns = hooks_.columns;
    const SheetState base = baseSheet();
    const QDate day = printDay->day();
    const RowOptions options{widenKatakana->isChecked(), day};
    const int batch = append ? pastes_ + 1 : 0;
    std::vector<QDateTime> times = append ? listTimes_ : std::vector<QDateTime>();
    times.resize(static_cast<std::size_t>(batch) + 1);
    times.back() = madeAt.toUTC();
    ProductMaster* const master = hooks_.master;
    const QString failure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            // The window's connection belongs to the window's thread: the work has its own,
            // made and closed on the work's thread. Nothing is written to the master here.
            const std::unique_ptr<ProductMaster> connection =
                master != nullptr ? master->another() : nullptr;
            const MasterAsked asked{.master = connection.get(),
                                    .before = append ? &model_->rows() : nullptr,
                                    .listTimes = times,
                                    .defaultRate = base.layout.defaultTaxRate,
                                    .rateChanges = base.layout.taxRateChanges,
                                    .day = day};
            loaded =
                load(read, columns, std::nullopt, base, name, options, batch, &asked, progress);
        });
    if (!failure.isEmpty()) {
        messages_.tell(kCaption, failure, MessageIcon::Critical);
        return false;
    }
    if (loaded.cancelled) {
        messages_.tell(
            kCaption,
            QStringLiteral("「%1」の読み込みを取り消しました。リストは前のままです。").arg(name),
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
    pastes_ = batch;
    listTimes_ = std::move(times);
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
    notesDay_ = day;
    append ? model_->appendRows(std::move(loaded.rows), std::move(loaded.checks))
           : model_->setRows(std::move(loaded.rows), std::move(loaded.checks));
    if (loaded.marked.asked) {
        model_->setMarks(before, std::move(loaded.marked.marks), std::move(loaded.marked.printed));
        if (changedOnly->isChecked()) {
            model_->chooseChanged(true, before);
        }
    } else if (!loaded.marked.error.isEmpty()) {
        messages_.tell(kCaption, notComparedNote(loaded.marked.error), MessageIcon::Exclamation);
    }
    masterView_ = std::move(loaded.master);
    registered_.clear();
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
    setWindowTitle(QStringLiteral("ズカロ 商品リスト - ") + note);
    showMasterView();
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
    const QDate day = printDay->day();
    if (notesChecked_ && (notesLayout_ != base.layout || notesDay_ != day) &&
        rows.size() <= kRecheckedRows) {
        labelNotes_ = labelNotes(rows, model_->checks(), base, nullptr, day);
        notesLayout_ = base.layout;
        notesDay_ = day;
    }
    // How the labels come out on paper, by the row they came from: the rows that print.
    PlanNotes noted(laid, readProblemCount_);
    for (const auto& [row, text] : labelNotes_) {
        if (model_->chosen()[row] && model_->checks()[row].copies > 0) {
            noted.addLabelNote({rows[row].line, text, true, rows[row].batch});
        }
    }
    const std::vector<RowProblem> shown = noted.inOrder(readProblems_);
    qint64 all = noted.count();
    // First what goes for many rows: prices the rows say are 税抜, printed as typed.
    const QString untaxed = laid.untaxedNote(base.layout);
    QStringList lines;
    if (!untaxed.isEmpty()) {
        lines << untaxed;
        ++all;
    }
    taxIncluded->setVisible(!untaxed.isEmpty() && bool(hooks_.changeLayout));
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

void ProductListWindow::showTaxIncluded() {
    if (hooks_.changeLayout) {
        hooks_.changeLayout([](Layout& layout) { layout.priceMode = PriceMode::TaxIncluded; });
    }
    refresh();
}

bool ProductListWindow::confirmUntaxed(const SheetPlan& laid, const QString& what) {
    const QString untaxed = laid.untaxedNote(baseSheet().layout);
    if (untaxed.isEmpty()) {
        return true;
    }
    if (!hooks_.changeLayout) {
        return messages_.askYesNo(kCaption,
                                  untaxed + QStringLiteral("\n\nこのまま%1しますか？").arg(what),
                                  MessageIcon::Exclamation, false);
    }
    switch (messages_.askYesNoCancel(
        kCaption,
        untaxed + QStringLiteral("\n\n総額表示を「税込表示」にしてから%1しますか？\n"
                                 "はい: 税込表示にして%1　いいえ: このまま%1　キャンセル: %1しない")
                      .arg(what),
        MessageIcon::Question)) {
        case Answer::Yes:
            showTaxIncluded();
            return true;
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
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
    // The dialog starts where the last list was: the register writes each week's into one
    // folder.
    QString path = listFile_;
    if (path.isEmpty() && !hooks_.settingsFolder.isEmpty()) {
        path = lastListOpened(listSettingsFile());
    }
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
    const QDate day = printDay->day();
    const RowOptions options{widenKatakana->isChecked(), day};
    ProductMaster* const master = hooks_.master;
    Loaded loaded;
    const QString failure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            const std::unique_ptr<ProductMaster> connection =
                master != nullptr ? master->another() : nullptr;
            const MasterAsked asked{.master = connection.get(),
                                    .before = nullptr,
                                    .listTimes = listTimes_,
                                    .defaultRate = base.layout.defaultTaxRate,
                                    .rateChanges = base.layout.taxRateChanges,
                                    .day = day};
            loaded =
                load(reader_, nullptr, chosen, base, listName_, options, pastes_, &asked, progress);
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
    notesDay_ = day;
    model_->setRows(std::move(loaded.rows), std::move(loaded.checks));
    if (loaded.marked.asked) {
        model_->setMarks(0, std::move(loaded.marked.marks), std::move(loaded.marked.printed));
        if (changedOnly->isChecked()) {
            model_->chooseChanged(true);
        }
    }
    masterView_ = std::move(loaded.master);
    registered_.clear();
    showMasterView();
    refresh();
}

void ProductListWindow::openSheetInEditor() {
    settleDay();
    const SheetPlan laid = plan();
    const qint64 index = sheetNumber->value() - 1;
    if (index < laid.sheetCount() && hooks_.openInEditor) {
        hooks_.openInEditor(
            laid.sheet(index, baseSheet()),
            QStringLiteral("商品リスト %1/%2").arg(index + 1).arg(laid.sheetCount()),
            printDay->day());
    }
}

void ProductListWindow::saveAll() {
    settleDay();
    const SheetPlan laid = plan();
    QString chosen;
    if (laid.sheetCount() == 0 || !allowedJob(laid) ||
        !confirmUntaxed(laid, QStringLiteral("保存"))) {
        return;
    }
    if (dialog_.showSave(kLabelFilter, chosen) == kCancelError) {
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
    SavedSheets done;
    const QString failure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            saveSheets(laid, base, files, progress, done);
        });
    const qint64 saved = done.saved;
    const FileResult& refused = done.refused;
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
    printDay->followToday();
    settleDay();
    const SheetPlan laid = plan();
    const QDate day = printDay->day();
    dialog_.suggestPdfFile(suggestedPdfFile(listFile_));
    dialog_.namePrintDay(day);
    if (laid.sheetCount() == 0 || !allowedJob(laid) ||
        !confirmUntaxed(laid, QStringLiteral("印刷")) ||
        dialog_.showPrinter(printer_) == kCancelError) {
        return;
    }
    QString warning;
    const PrinterCalibration calibration = calibrationOf(printer_, hooks_.settingsFolder, warning);
    if (!warning.isEmpty()) {
        messages_.tell(kCaption, warning, MessageIcon::Exclamation);
    }
    const SheetState base = baseSheet();
    PrintJob job(printer_, kCaption);
    PrintOutcome outcome;
    const QString workFailure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            job.setProgress(&progress);
            outcome = job.run(
                static_cast<std::size_t>(laid.sheetCount()),
                sheetPages([&](std::size_t i) { return laid.sheet(static_cast<qint64>(i), base); },
                           calibration, day));
        });
    if (!workFailure.isEmpty() || !outcome.printed()) {
        const bool cancelled =
            workFailure.isEmpty() && outcome.status == PrintOutcome::Status::Cancelled;
        messages_.tell(kCaption, workFailure.isEmpty() ? outcome.message : workFailure,
                       cancelled ? MessageIcon::Information : MessageIcon::Critical);
        return;
    }
    rememberNextStart(laid);
    offerToRecord(laid, QStringLiteral("印刷した"));
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
    const Layout layout = baseSheet().layout;
    const QDate day = printDay->day();
    const std::vector<ProductRow>& listed = model_->rows();
    ProductMaster::RecordResult recorded;
    const QString failure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            recorded = recordPrinted(
                laid, [&listed](std::size_t i) { return listed[i]; }, *master->another(),
                layout.defaultTaxRate, &progress, day, layout.taxRateChanges);
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

void ProductListWindow::settleDay() {
    if (dayTyped_.isActive()) {
        dayTyped_.stop();
        markForDay();
    }
}

void ProductListWindow::markForDay() {
    ProductMaster* const master = hooks_.master;
    if (master != nullptr && !model_->rows().empty()) {
        const Layout layout = baseSheet().layout;
        const QDate day = printDay->day();
        const std::vector<ProductRow>& rows = model_->rows();
        Marked marked;
        const QString failure =
            BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
                marked = markRows(rows, *master->another(), layout.defaultTaxRate,
                                  layout.taxRateChanges, progress, day);
            });
        if (failure.isEmpty() && marked.asked) {
            model_->setMarks(0, std::move(marked.marks), std::move(marked.printed));
            if (changedOnly->isChecked()) {
                model_->chooseChanged(true);
            }
        } else {
            // Marks of another day would choose the wrong rows: none, and every row prints.
            model_->chooseChanged(false);
            model_->clearMarks();
            const QString why = failure.isEmpty() ? marked.error : failure;
            messages_.tell(kCaption, notComparedNote(why),
                           why.isEmpty() ? MessageIcon::Information : MessageIcon::Exclamation);
        }
    }
    refresh();
}

void ProductListWindow::rememberNextStart(const SheetPlan& laid) {
    const NextStart next =
        nextStartAfter(start->value(), laid.labels(), QDateTime::currentDateTime());
    offeredStart_ = next.label;
    offeredAfter_ = next.after;
    if (!hooks_.settingsFolder.isEmpty()) {
        const QString path = listSettingsFile();
        if (QString error; !keepNextStart(path, next, error)) {
            messages_.tell(kCaption,
                           QStringLiteral("次の開始位置を「%1」に書き込めませんでした。"
                                          "この画面を閉じるまでは覚えています。")
                                   .arg(QDir::toNativeSeparators(path)) +
                               error,
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
