// The list window and the product master: what registering the list would do, shown as it is
// read, and 「マスターに登録」, the clerk's word that stores it.
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <algorithm>
#include <iterator>

#include "BackgroundWork.h"
#include "MessageBoxes.h"
#include "ProductListModel.h"
#include "ProductListWindow.h"
#include "ProductMaster.h"
#include "ShownText.h"

namespace zukaro {
namespace {

const QString kCaption = QStringLiteral("商品リスト");

// 「三ツ矢サイダー 128 → 138、緑茶 238 → 258 ほか 3 件」: the first price changes, for a line.
QString firstPriceChanges(const MasterPreview& preview) {
    constexpr qint64 kNamed = 3;
    QStringList named;
    for (const MasterPreview::Change& change : preview.changes) {
        if (change.price && named.size() < kNamed) {
            named << QStringLiteral("%1 %2 → %3").arg(change.product, change.before, change.after);
        }
    }
    QString text = named.join(QStringLiteral("、"));
    if (preview.priceChanged > kNamed) {
        text += QStringLiteral(" ほか %1 件").arg(countText(preview.priceChanged - kNamed));
    }
    return text;
}

}  // namespace

void ProductListWindow::showMasterView() {
    const bool shown = hooks_.master != nullptr;
    masterNote->setVisible(shown);
    registerButton->setVisible(shown);
    if (!shown) {
        return;
    }
    const MasterView& view = masterView_;
    const MasterPreview& preview = view.preview;
    QStringList parts;
    if (!registered_.isEmpty()) {
        parts << registered_;
    }
    if (!view.error.isEmpty()) {
        parts << QStringLiteral("商品マスタと比べられませんでした。") + view.error;
    } else if (view.asked) {
        parts << QStringLiteral("商品マスタと比べて: %1。").arg(preview.counts());
        if (preview.priceChanged > 0) {
            parts << QStringLiteral("売価: %1。").arg(firstPriceChanges(preview));
        }
        if (!preview.olderCodes.isEmpty()) {
            parts << QStringLiteral(
                         "うち %1 件は、商品マスタにあるより古いリストの内容です"
                         "（登録するときに確かめます）。")
                         .arg(countText(preview.olderCodes.size()));
        }
    }
    if (view.filled > 0) {
        parts << QStringLiteral(
                     "JAN コードだけの %1 行は、品名・売価などを商品マスタから"
                     "補いました。")
                     .arg(countText(view.filled));
    }
    masterNote->setText(parts.join(QString()));
    constexpr qsizetype kTipLines = 30;
    QStringList tip = preview.priceLines(kTipLines);
    if (preview.priceChanged > tip.size()) {
        tip << QStringLiteral("ほか %1 件").arg(countText(preview.priceChanged - tip.size()));
    }
    masterNote->setToolTip(tip.join(u'\n'));
    registerButton->setEnabled(view.asked && preview.changesAnything());
}

void ProductListWindow::registerWithMaster() {
    ProductMaster* const master = hooks_.master;
    if (master == nullptr || model_->rows().empty()) {
        return;
    }
    const std::vector<ProductRow>& rows = model_->rows();
    // The rows into the master, held ones left out, on the work's thread in one transaction.
    ProductMaster::ImportResult result;
    const auto registerRows = [&](ProductMaster& connection, const std::vector<ProductRow>& kept,
                                  WorkProgress& progress) {
        result = connection.importRows(kept, &progress, listTimes_);
    };
    // Compared again first: the master may have changed since the list was read (another
    // shop, head office). Without older contents to ask about, the rows go in at once.
    MasterView fresh;
    QString failure =
        BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
            const std::unique_ptr<ProductMaster> connection = master->another();
            fresh = viewOfMaster(rows, *connection, listTimes_, progress);
            if (fresh.asked && fresh.preview.changesAnything() &&
                fresh.preview.olderCodes.isEmpty()) {
                registerRows(*connection, rows, progress);
            }
        });
    if (!failure.isEmpty() || !fresh.asked) {
        messages_.tell(kCaption, failure.isEmpty() ? fresh.error : failure, MessageIcon::Critical);
        return;
    }
    fresh.filled = masterView_.filled;
    masterView_ = std::move(fresh);
    const MasterPreview& preview = masterView_.preview;
    if (!preview.changesAnything()) {
        registered_ =
            QStringLiteral("商品マスタはこのリストのとおりで、登録することはありません。");
        showMasterView();
        return;
    }
    QSet<QString> held;
    if (!preview.olderCodes.isEmpty()) {
        constexpr qsizetype kShown = 10;
        const QString count = countText(preview.olderCodes.size());
        QStringList lines = preview.olderLines(kShown);
        if (preview.olderCodes.size() > lines.size()) {
            lines << QStringLiteral("ほか %1 件")
                         .arg(countText(preview.olderCodes.size() - lines.size()));
        }
        const Answer answer = messages_.askYesNoCancel(
            kCaption,
            QStringLiteral("次の %1 件は、商品マスタにあるより古いリストの内容です。登録すると、"
                           "新しい売価が古い売価に戻ります。\n%2\n\n商品マスタの新しい内容を"
                           "残しますか？\nはい: この %1 件は残して、ほかを登録　いいえ: この %1 "
                           "件も古いリストのとおりに登録　キャンセル: 何も登録しない")
                .arg(count, lines.join(u'\n')),
            MessageIcon::Question);
        if (answer == Answer::Cancel) {
            showMasterView();
            return;
        }
        if (answer == Answer::Yes) {
            held = preview.olderCodes;
        }
        std::vector<ProductRow> kept;
        std::copy_if(rows.begin(), rows.end(), std::back_inserter(kept), [&held](const auto& row) {
            return !held.contains(ProductMaster::keyOf(row.jan));
        });
        failure =
            BackgroundWork(this, hooks_.progressDelayMs).run(kCaption, [&](WorkProgress& progress) {
                registerRows(*master->another(), kept, progress);
            });
    }
    if (!failure.isEmpty() || !result.ok) {
        messages_.tell(kCaption, failure.isEmpty() ? result.error : failure,
                       result.cancelled ? MessageIcon::Information : MessageIcon::Exclamation);
        return;
    }
    // What the list now says against the master: only the held codes still differ.
    masterView_.preview = preview.afterRegistering(held);
    registered_ = QStringLiteral("商品マスタに登録しました（追加 %1 件、更新 %2 件）。")
                      .arg(countText(result.added), countText(result.updated));
    if (!held.isEmpty()) {
        registered_ += QStringLiteral("新しいリストの内容がある %1 件は、商品マスタのままです。")
                           .arg(countText(held.size()));
    }
    showMasterView();
}

}  // namespace zukaro
