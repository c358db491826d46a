#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

#include "MasterConnection.h"
#include "PrintHistory.h"
#include "WorkProgress.h"

namespace zukaro {

// The master's print history: per JAN code, the label last printed and when
// (ProductMaster.h says what each call promises).
class PrintHistoryStore {
public:
    struct PrintedResult {
        bool ok = false;
        QString error;
        QHash<QString, PrintedLabel> labels;  // by printedKey(); a code never printed is absent
    };
    struct RecordResult {
        bool ok = false;
        bool cancelled = false;
        QString error;  // nothing was recorded when not ok
        int recorded = 0;
    };

    explicit PrintHistoryStore(MasterConnection& connection) : connection_(connection) {}

    PrintedResult lastPrinted(const QStringList& keys);
    RecordResult recordPrinted(const std::vector<PrintedLabel>& labels, WorkProgress* progress);

private:
    MasterConnection& connection_;
};

}  // namespace zukaro
