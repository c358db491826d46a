#include "PrintDayEdit.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>

namespace zukaro {

PrintDayEdit::PrintDayEdit(QWidget* parent) : QDateEdit(QDate::currentDate(), parent) {
    setObjectName(QStringLiteral("印刷日"));
    setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    setCalendarPopup(true);
    setToolTip(
        QStringLiteral("この日の特価と税率で印刷します。特売の始まる日や税率の変わる日の"
                       "分を前もって印刷するときに変えます。"));
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (!setting_) {
            chosen_ = date() != QDate::currentDate();
        }
        showWhetherToday();
    });
    midnight_.setSingleShot(true);
    connect(&midnight_, &QTimer::timeout, this, [this] {
        followToday();
        showWhetherToday();
        waitForTomorrow();
    });
    showWhetherToday();
    waitForTomorrow();
}

void PrintDayEdit::waitForTomorrow() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime turn(now.date().addDays(1), QTime(0, 0, 1));
    midnight_.start(static_cast<int>(std::clamp<qint64>(now.msecsTo(turn), 1000, 86'401'000)));
}

QDate PrintDayEdit::day() const {
    return chosen_ ? date() : QDate::currentDate();
}

void PrintDayEdit::setDay(const QDate& day) {
    setDate(day.isValid() ? day : QDate::currentDate());
}

void PrintDayEdit::followToday() {
    if (!chosen_ && date() != QDate::currentDate()) {
        setting_ = true;
        setDate(QDate::currentDate());
        setting_ = false;
    }
}

void PrintDayEdit::showWhetherToday() {
    setStyleSheet(date() == QDate::currentDate() ? QString()
                                                 : QStringLiteral("QDateEdit { background: %1; }")
                                                       .arg(QLatin1String(kAnotherDayBackground)));
}

QString spokenDay(const QDate& day) {
    return day.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral("（") +
           QLocale(QLocale::Japanese).toString(day, QStringLiteral("ddd")) + QStringLiteral("）");
}

}  // namespace zukaro
