// Records COUNT labels as printed into the product master at MASTER and, once the first
// STOP_AT of them are written inside the transaction, says "recording" on stdout and stops
// itself (SIGSTOP), to be killed there by the test of a recording cut short.
#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

#include "JanCompletion.h"
#include "ProductMaster.h"

using namespace zukaro;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fputs("usage: master_recorder MASTER COUNT STOP_AT\n", stderr);
        return 2;
    }
    const QString path = args[1];
    const int count = args[2].toInt();
    const qint64 stopAt = args[3].toLongLong();
    std::vector<PrintedLabel> labels;
    labels.reserve(static_cast<std::size_t>(count));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < count; ++i) {
        const QString jan =
            completeJanCheckDigit(QStringLiteral("49%1").arg(i, 10, 10, QChar(u'0')));
        labels.push_back({jan, QStringLiteral("カトー製菓"), QStringLiteral("うすしお %1").arg(i),
                          QStringLiteral("60g"), QString(), QStringLiteral("428"), 8,
                          PriceTax::Exclusive, now});
    }
    WorkProgress progress;
    QString error;
    std::atomic<bool> finished{false};
    // The master's connection belongs to the thread that opens it.
    std::thread recording([&] {
        ProductMaster master(path);
        const ProductMaster::RecordResult r = master.recordPrinted(labels, &progress);
        error = r.ok ? QStringLiteral("finished before it was stopped") : r.error;
        finished = true;
    });
    while (progress.state().done < stopAt && !finished) {
        QThread::usleep(200);
    }
    if (!finished) {
        std::fputs("recording\n", stdout);
        std::fflush(stdout);
        std::raise(SIGSTOP);
    }
    recording.join();
    std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
    return 1;
}
