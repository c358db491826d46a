#include "MasterDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "CommonDialog1.h"
#include "MessageBoxes.h"
#include "ProductMaster.h"
#include "UserFiles.h"

namespace zukaro {
namespace {

const QString kCaption = QStringLiteral("商品マスター");
const QString kSqliteFilter =
    QStringLiteral("商品マスタ (*.sqlite)|*.sqlite|すべてのファイル (*.*)|*.*|");

}  // namespace

MasterDialog::MasterDialog(ProductMaster& master, CommonDialog1& dialogs, MessageBoxes& messages,
                           QWidget* parent)
    : QDialog(parent), master_(master), dialogs_(dialogs), messages_(messages) {
    setObjectName(QStringLiteral("商品マスター"));
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    file_ = new QRadioButton(QStringLiteral("このパソコンのファイル (SQLite): %1")
                                 .arg(QDir::toNativeSeparators(productMasterPath())));
    file_->setObjectName(QStringLiteral("ファイル"));
    server_ = new QRadioButton(QStringLiteral("チェーンで共有する PostgreSQL サーバー:"));
    server_->setObjectName(QStringLiteral("サーバー"));
    address_ = new QLineEdit;
    address_->setObjectName(QStringLiteral("接続先"));
    address_->setPlaceholderText(QStringLiteral("postgresql://shop1@192.168.1.10:5432/zukaro"));
    auto* note = new QLabel(
        QStringLiteral("パスワードはここに書かず、~/.pgpass に 1 行で書いてください\n"
                       "(例: 192.168.1.10:5432:zukaro:shop1:パスワード、ファイルの権限は 600)。"));
    result_ = new QLabel;
    result_->setObjectName(QStringLiteral("接続の結果"));
    result_->setWordWrap(true);
    auto* checkButton = new QPushButton(QStringLiteral("接続を確かめる"));
    checkButton->setObjectName(QStringLiteral("接続を確かめる"));
    auto* importButton = new QPushButton(QStringLiteral("SQLite から取り込む..."));
    importButton->setObjectName(QStringLiteral("SQLiteから取り込む"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Save)->setObjectName(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("キャンセル"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    auto* row = new QHBoxLayout;
    row->addWidget(checkButton);
    row->addWidget(importButton);
    row->addStretch();
    for (QWidget* widget : {static_cast<QWidget*>(file_), static_cast<QWidget*>(server_),
                            static_cast<QWidget*>(address_), static_cast<QWidget*>(note)}) {
        layout->addWidget(widget);
    }
    layout->addLayout(row);
    layout->addWidget(result_);
    layout->addWidget(buttons);

    const MasterLocation& now = master_.location();
    const bool onServer = now.isPostgres();
    (onServer ? server_ : file_)->setChecked(true);
    address_->setText(onServer ? now.address() : QString());
    address_->setEnabled(onServer);
    importButton->setEnabled(onServer);
    connect(server_, &QRadioButton::toggled, address_, &QLineEdit::setEnabled);
    connect(server_, &QRadioButton::toggled, importButton, &QPushButton::setEnabled);
    connect(checkButton, &QPushButton::clicked, this, [this] { check(); });
    connect(importButton, &QPushButton::clicked, this, [this] { importSqlite(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { save(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool MasterDialog::chosen(MasterLocation& location) {
    if (file_->isChecked()) {
        location = MasterLocation::sqlite(productMasterPath());
        return true;
    }
    const MasterLocationResult parsed = parseMasterLocation(address_->text());
    if (!parsed.location || !parsed.location->isPostgres()) {
        const QString error = parsed.location ? QStringLiteral(
                                                    "PostgreSQL サーバーの接続先は postgresql:// "
                                                    "で始めてください。")
                                              : parsed.error;
        result_->setText(error);
        messages_.tell(kCaption, error, MessageIcon::Exclamation);
        return false;
    }
    location = *parsed.location;
    return true;
}

void MasterDialog::check() {
    MasterLocation location;
    if (!chosen(location)) {
        return;
    }
    ProductMaster trial(location);
    const ProductMaster::CountResult products = trial.productCount();
    if (!products.ok) {
        result_->setText(products.error);
        return;
    }
    QString text = QStringLiteral("つながりました。商品 %1 件、")
                       .arg(QLocale(QLocale::Japanese).toString(products.count));
    text += trial.isReadOnly()
                ? QStringLiteral("このログインでは読むだけです (リストは登録されません)。")
                : QStringLiteral("リストを登録できます。");
    result_->setText(text);
}

void MasterDialog::importSqlite() {
    MasterLocation location;
    QString path = productMasterPath();
    if (!chosen(location) || dialogs_.showOpen(kSqliteFilter, path) == kCancelError) {
        return;
    }
    ProductMaster source(MasterLocation::sqlite(path));
    source.readOnlyFromNowOn();  // the shop's file stays as it was
    const ProductMaster::ProductsResult products = source.allProducts();
    ProductMaster target(location);
    const ProductMaster::ImportResult imported =
        products.ok ? target.importRows(products.products) : ProductMaster::ImportResult{};
    const QString text = !products.ok ? products.error
                         : imported.ok
                             ? QStringLiteral("「%1」の商品を %2 件追加、%3 件更新しました。")
                                   .arg(QDir::toNativeSeparators(path))
                                   .arg(imported.added)
                                   .arg(imported.updated)
                             : imported.error;
    result_->setText(text);
    messages_.tell(
        kCaption, text,
        products.ok && imported.ok ? MessageIcon::Information : MessageIcon::Exclamation);
}

void MasterDialog::save() {
    MasterLocation location;
    if (!chosen(location)) {
        return;
    }
    const QString error = saveMasterAddress(location.isPostgres() ? location.address() : QString());
    if (!error.isEmpty()) {
        messages_.tell(kCaption, error, MessageIcon::Critical);
        return;
    }
    master_.relocate(location);
    accept();
}

}  // namespace zukaro
