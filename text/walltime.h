#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace qv {

// A date and a time of day as a clock showed them, without a time zone: a photo's date taken
// names no zone, and a name shows the clock's figures as they were. A QDateTime would move a
// time that a change to summer time skips.
struct WallTime
{
    QDate date;
    QTime time{0, 0};

    WallTime() = default;
    // A day alone stands for its midnight.
    WallTime(QDate day, QTime at = QTime(0, 0)) : date(day), time(at) {}

    static WallTime of(const QDateTime& moment) { return {moment.date(), moment.time()}; }
    static WallTime now() { return of(QDateTime::currentDateTime()); }
    bool isValid() const { return date.isValid() && time.isValid(); }
};

} // namespace qv
