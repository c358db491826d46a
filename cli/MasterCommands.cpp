#include "MasterCommands.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "ColumnMapping.h"
#include "MasterComparison.h"
#include "FilePlace.h"
#include "MasterMessages.h"
#include "ProductListSource.h"
#include "ProductMaster.h"
#include "ProductRows.h"
#include "RunCommandLine.h"
#include "ShownText.h"
#include "UserFiles.h"

namespace zukaro {
namespace {

// The master of the command, or the reason there is none (told on stderr).
std::unique_ptr<ProductMaster> chosen(const CommandLine& command, QTextStream& err) {
    const MasterLocationResult where = chosenMaster(command.master);
    if (!where.location) {
        err << "zukaro: " << where.error << '\n';
        return nullptr;
    }
    return std::make_unique<ProductMaster>(*where.location);
}

bool imported(const ProductMaster& master, const ProductMaster::ImportResult& result,
              QTextStream& out, QTextStream& err) {
    if (!result.ok) {
        err << "zukaro: " << result.error << '\n';
        return false;
    }
    out << QStringLiteral("商品マスタ%1に %2 件追加、%3 件更新しました。")
               .arg(master::name(master.location()))
               .arg(result.added)
               .arg(result.updated);
    if (result.skipped > 0) {
        out << QStringLiteral("JAN コードのない %1 行は登録していません。").arg(result.skipped);
    }
    out << '\n';
    return true;
}

}  // namespace

QString columnsRefused(const QString& why) {
    return why + QStringLiteral("覚えた列の割り当てを読めないため、商品リストを読みません。");
}

int importListIntoMaster(const CommandLine& command, QTextStream& out, QTextStream& err) {
    const std::unique_ptr<ProductMaster> master = chosen(command, err);
    if (!master) {
        return kExitFailed;
    }
    const SourceResult source = readProductFile(command.file);
    if (!source.ok) {
        err << "zukaro: " << source.error << '\n';
        return kExitFailed;
    }
    const IniFile remembered = rememberedColumns();
    if (!remembered.settings) {
        err << "zukaro: " << columnsRefused(remembered.error) << '\n';
        return kExitFailed;
    }
    const ColumnMapping mapping = ColumnMapping::detect(source.table, remembered.settings.get());
    ProductList list = toProductRows(source.table, mapping);
    const QString shown = QDir::toNativeSeparators(command.file);
    for (const RowProblem& problem : list.problems) {
        if (!problem.kept) {
            err << "zukaro: " << shown << ": " << problem.text() << '\n';
        }
    }
    if (const ProductMaster::Result opened = master->open(); !opened.ok) {
        err << "zukaro: " << opened.error << '\n';
        return kExitFailed;
    }
    if (master->isReadOnly()) {  // refused, with the reason, before anything is compared
        return imported(*master, master->importRows(list.rows), out, err) ? kExitOk : kExitFailed;
    }
    // What registering would do, said before it is done; a product whose stored price came
    // from a newer list keeps it unless --replace-newer says otherwise.
    const std::vector<QDateTime> listTimes{QFileInfo(command.file).lastModified().toUTC()};
    QStringList keys;
    for (const ProductRow& row : list.rows) {
        keys << ProductMaster::keyOf(row.jan);
    }
    const ProductMaster::StoredResult stored = master->storedProducts(keys);
    if (!stored.ok) {
        err << "zukaro: " << stored.error << '\n';
        return kExitFailed;
    }
    const MasterPreview preview = compareWithMaster(list.rows, stored.products, listTimes);
    err << "zukaro: " << shown << ": " << QStringLiteral("商品マスタと比べて、") << preview.counts()
        << QStringLiteral("。\n");
    if (!preview.olderCodes.isEmpty()) {
        constexpr qsizetype kShown = 100;
        for (const QString& line : preview.olderLines(kShown)) {
            err << "zukaro: " << shown << ": " << line << '\n';
        }
        const QString count = countText(preview.olderCodes.size());
        if (command.replaceNewer) {
            err << "zukaro: "
                << QStringLiteral(
                       "商品マスタにこのリストより新しいリストの内容がある %1 件も、"
                       "このリストのとおりに登録します（--replace-newer）。\n")
                       .arg(count);
        } else {
            err << "zukaro: "
                << QStringLiteral(
                       "商品マスタにこのリストより新しいリストの内容がある %1 件は、"
                       "登録せずに商品マスタのままにしました。このリストの古い売価で"
                       "置き換えるときは --replace-newer を付けてください。\n")
                       .arg(count);
            std::erase_if(list.rows, [&preview](const ProductRow& row) {
                return preview.olderCodes.contains(ProductMaster::keyOf(row.jan));
            });
        }
    }
    return imported(*master, master->importRows(list.rows, nullptr, listTimes), out, err)
               ? kExitOk
               : kExitFailed;
}

int copyMasterFrom(const CommandLine& command, QTextStream& out, QTextStream& err) {
    const std::unique_ptr<ProductMaster> master = chosen(command, err);
    if (!master) {
        return kExitFailed;
    }
    const QFileInfo from(command.file);
    if (!master->location().isPostgres() && sameFile(command.file, master->location().path)) {
        err << "zukaro: "
            << QStringLiteral("「%1」は、写す先の商品マスタと同じファイルです。\n")
                   .arg(QDir::toNativeSeparators(command.file));
        return kExitFailed;
    }
    if (!from.isFile()) {
        err << "zukaro: "
            << QStringLiteral("SQLite の商品マスタ「%1」がありません。\n")
                   .arg(QDir::toNativeSeparators(command.file));
        return kExitFailed;
    }
    ProductMaster source(MasterLocation::sqlite(from.absoluteFilePath()));
    source.readOnlyFromNowOn();  // copying from it leaves it as it was, in its old version too
    const ProductMaster::ProductsResult products = source.allProducts();
    if (!products.ok) {
        err << "zukaro: " << products.error << '\n';
        return kExitFailed;
    }
    return imported(*master, master->importRows(products.products), out, err) ? kExitOk
                                                                              : kExitFailed;
}

}  // namespace zukaro
