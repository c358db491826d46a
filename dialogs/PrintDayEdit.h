#pragma once

#include <QDate>
#include <QDateEdit>
#include <QString>
#include <QTimer>

// 印刷日: the day a sheet's sales and tax rates are taken on. It is today until the clerk picks
// another day, and follows the calendar while untouched: a window left open overnight prints
// for the new day. A day other than today is shown in a colour of its own, so that next week's
// prices are not printed by mistake.
namespace zukaro {

class PrintDayEdit : public QDateEdit {
public:
    explicit PrintDayEdit(QWidget* parent = nullptr);

    // The day chosen, today when none was.
    QDate day() const;
    // Shows `day`, as the clerk's choice unless it is today.
    void setDay(const QDate& day);
    // Back to today when the clerk chose no day and the date has turned since.
    void followToday();

private:
    void showWhetherToday();
    // Just after the next midnight: the day turns.
    void waitForTomorrow();
    QTimer midnight_;
    bool chosen_ = false;  // the clerk picked a day
    bool setting_ = false;
};

// The background of a day that is not today, in the field and in the print dialog: yellow like a
// sale tag.
inline constexpr const char* kAnotherDayBackground = "#fff3a0";

// 「2026/12/14（月）」: a day as the windows and the print dialog say it.
QString spokenDay(const QDate& day);

}  // namespace zukaro
