#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QPrinter;

namespace zukaro {

// A print job handed to CUPS: its number, or why CUPS did not take it.
struct CupsJob {
    int id = 0;     // 0 when the job was refused
    QString error;  // CUPS's own reason when refused
};

// Hands a finished print file to the CUPS queue `printer` (the server of CUPS_SERVER or the
// system's), with the job title and IPP options such as media=A4.
CupsJob submitToCups(const QString& printer, const QString& file, const QString& title,
                     const QList<QPair<QByteArray, QByteArray>>& options);

// What the print dialog chose on `printer` as IPP options, as Qt itself hands them to CUPS: the
// paper, copies and collation, sides, orientation, and the dialog's job options.
QList<QPair<QByteArray, QByteArray>> cupsOptionsOf(QPrinter& printer);

}  // namespace zukaro
