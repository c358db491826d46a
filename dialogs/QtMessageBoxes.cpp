#include "QtMessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace zukaro {
namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

bool QtMessageBoxes::askYesNo(const QString& caption, const QString& text, MessageIcon icon,
                              bool yesIsDefault) {
    QMessageBox box(toQtIcon(icon), caption, text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Answer QtMessageBoxes::askYesNoCancel(const QString& caption, const QString& text,
                                      MessageIcon icon) {
    QMessageBox box(toQtIcon(icon), caption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

bool QtMessageBoxes::askToDo(const QString& caption, const QString& text, MessageIcon icon,
                             const QString& doText, const QString& dontText) {
    QMessageBox box(toQtIcon(icon), caption, text, QMessageBox::NoButton, parent_);
    QPushButton* doIt = box.addButton(doText, QMessageBox::AcceptRole);
    QPushButton* dont = box.addButton(dontText, QMessageBox::RejectRole);
    doIt->setObjectName(QStringLiteral("する"));
    dont->setObjectName(QStringLiteral("しない"));
    box.setDefaultButton(doIt);
    box.setEscapeButton(dont);
    box.exec();
    return box.clickedButton() == doIt;
}

void QtMessageBoxes::tell(const QString& caption, const QString& text, MessageIcon icon) {
    QMessageBox box(toQtIcon(icon), caption, text, QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace zukaro
