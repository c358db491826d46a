#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace zukaro {

class CommonDialog1;
class MessageBoxes;
class ProductMaster;
struct MasterLocation;

// 商品マスター: where the program's product master is. This computer's SQLite file (a shop on
// its own), or a chain's database on a PostgreSQL server, by its address
// (postgresql://shop1@192.168.1.10:5432/zukaro); the password is libpq's (~/.pgpass,
// PGPASSWORD), never kept by us. 「接続を確かめる」 connects and says what it found;
// 「SQLite から取り込む...」 copies a shop's own master file into the server once. 保存 keeps the
// choice in the user's settings folder and moves the program's master there.
class MasterDialog final : public QDialog {
    Q_OBJECT

public:
    MasterDialog(ProductMaster& master, CommonDialog1& dialogs, MessageBoxes& messages,
                 QWidget* parent = nullptr);

    // The buttons' commands.
    void check();
    void importSqlite();
    void save();

private:
    // The chosen location, or nothing (and said) when the address cannot be read.
    bool chosen(MasterLocation& location);

    ProductMaster& master_;
    CommonDialog1& dialogs_;
    MessageBoxes& messages_;
    QRadioButton* file_;
    QRadioButton* server_;
    QLineEdit* address_;
    QLabel* result_;
};

}  // namespace zukaro
