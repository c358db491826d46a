#include "MasterCommands.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "ConsoleMessages.h"
#include "FilePlace.h"
#include "MasterComparison.h"
#include "MasterMessages.h"
#include "ProductMaster.h"
#include "ProductRows.h"
#include "RunCommandLine.h"
#include "ShownText.h"
#include "UserFiles.h"

namespace zukaro {
namespace {

const QString kCaption = QStringLiteral("エラー");

// The master of the command, or the reason there is none (told).
std::unique_ptr<ProductMaster> chosen(const CommandLine& command, ConsoleMessages& messages) {
    const MasterLocationResult where = chosenMaster(command.master);
    if (!where.location) {
        messages.tell(kCaption, where.error, MessageIcon::Critical);
        return nullptr;
    }
    return std::make_unique<ProductMaster>(*where.location);
}

bool imported(const ProductMaster& master, const ProductMaster::ImportResult& result,
              QTextStream& out, ConsoleMessages& messages) {
    if (!result.ok) {
        messages.tell(kCaption, result.error, MessageIcon::Critical);
        return false;
    }
    QString said = QStringLiteral("商品マスタ%1に %2 件追加、%3 件更新しました。")
                       .arg(master::name(master.location()))
                       .arg(result.added)
                       .arg(result.updated);
    if (result.skipped > 0) {
        said += QStringLiteral("JAN コードのない %1 行は登録していません。").arg(result.skipped);
    }
    out << withoutControls(said) << '\n';
    out.flush();
    return true;
}

}  // namespace

QString columnsRefused(const QString& why) {
    return why + QStringLiteral("覚えた列の割り当てを読めないため、商品リストを読みません。");
}

int importListIntoMaster(const CommandLine& command, QTextStream& out, QTextStream& err) {
    ConsoleMessages messages(err);
    const std::unique_ptr<ProductMaster> master = chosen(command, messages);
    if (!master) {
        return kExitFailed;
    }
    // Read and told as --print-list reads and tells it: what it refuses is not stored either.
    std::vector<ProductRow> rows;
    ProductList reading;
    const SourceResult source = readListFile(
        command.file, [&rows](ProductRow&& row) { rows.push_back(std::move(row)); }, reading);
    if (!source.ok) {
        messages.tell(kCaption, source.error, MessageIcon::Critical);
        return kExitFailed;
    }
    const QString shown = QDir::toNativeSeparators(command.file);
    for (const RowProblem& problem : inLineOrder(reading.problems)) {
        messages.write(shown + QStringLiteral(": ") + problem.text());
    }
    messages.countUnwritten(reading.problemCount - static_cast<qint64>(reading.problems.size()));
    messages.reportOmittedNotes();
    if (const ProductMaster::Result opened = master->open(); !opened.ok) {
        messages.tell(kCaption, opened.error, MessageIcon::Critical);
        return kExitFailed;
    }
    if (master->isReadOnly()) {  // refused, with the reason, before anything is compared
        return imported(*master, master->importRows(rows), out, messages) ? kExitOk : kExitFailed;
    }
    // What registering would do, said before it is done; a product whose stored price came
    // from a newer list keeps it unless --replace-newer says otherwise.
    const std::vector<QDateTime> listTimes{QFileInfo(command.file).lastModified().toUTC()};
    QStringList keys;
    for (const ProductRow& row : rows) {
        keys << ProductMaster::keyOf(row.jan);
    }
    const ProductMaster::StoredResult stored = master->storedProducts(keys);
    if (!stored.ok) {
        messages.tell(kCaption, stored.error, MessageIcon::Critical);
        return kExitFailed;
    }
    const MasterPreview preview = compareWithMaster(rows, stored.products, listTimes);
    messages.say(shown + QStringLiteral(": 商品マスタと比べて、") + preview.counts() +
                 QStringLiteral("。"));
    if (!preview.olderCodes.isEmpty()) {
        constexpr qsizetype kShown = 100;
        for (const QString& line : preview.olderLines(kShown)) {
            messages.say(shown + QStringLiteral(": ") + line);
        }
        const QString count = countText(preview.olderCodes.size());
        if (command.replaceNewer) {
            messages.say(
                QStringLiteral("商品マスタにこのリストより新しいリストの内容がある %1 件も、"
                               "このリストのとおりに登録します（--replace-newer）。")
                    .arg(count));
        } else {
            messages.say(
                QStringLiteral("商品マスタにこのリストより新しいリストの内容がある %1 件は、"
                               "登録せずに商品マスタのままにしました。このリストの古い売価で"
                               "置き換えるときは --replace-newer を付けてください。")
                    .arg(count));
            std::erase_if(rows, [&preview](const ProductRow& row) {
                return preview.olderCodes.contains(ProductMaster::keyOf(row.jan));
            });
        }
    }
    return imported(*master, master->importRows(rows, nullptr, listTimes), out, messages)
               ? kExitOk
               : kExitFailed;
}

int copyMasterFrom(const CommandLine& command, QTextStream& out, QTextStream& err) {
    ConsoleMessages messages(err);
    const std::unique_ptr<ProductMaster> master = chosen(command, messages);
    if (!master) {
        return kExitFailed;
    }
    const QFileInfo from(command.file);
    if (!master->location().isPostgres() && sameFile(command.file, master->location().path)) {
        messages.tell(kCaption,
                      QStringLiteral("「%1」は、写す先の商品マスタと同じファイルです。")
                          .arg(QDir::toNativeSeparators(command.file)),
                      MessageIcon::Critical);
        return kExitFailed;
    }
    if (!from.isFile()) {
        messages.tell(kCaption,
                      QStringLiteral("SQLite の商品マスタ「%1」がありません。")
                          .arg(QDir::toNativeSeparators(command.file)),
                      MessageIcon::Critical);
        return kExitFailed;
    }
    ProductMaster source(MasterLocation::sqlite(from.absoluteFilePath()));
    source.readOnlyFromNowOn();  // copying from it leaves it as it was, in its old version too
    const ProductMaster::ProductsResult products = source.allProducts();
    if (!products.ok) {
        messages.tell(kCaption, products.error, MessageIcon::Critical);
        return kExitFailed;
    }
    return imported(*master, master->importRows(products.products), out, messages) ? kExitOk
                                                                                   : kExitFailed;
}

}  // namespace zukaro
