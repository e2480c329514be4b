#pragma once

// Checks of the moments that rows of a download carry: the computer's date
// and time when each row was made, so every one must lie between a reading
// of the clock before the download and one after it, in the columns' own
// forms.

#include <QDateTime>
#include <QString>

struct ClockSpan {
    QDateTime from;
    QDateTime to;

    // Starts the span now; the rows carry whole seconds, so the start is cut
    // to its second.
    static ClockSpan startingNow()
    {
        QDateTime now = QDateTime::currentDateTime();
        now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
        return {now, QDateTime()};
    }
    void end() { to = QDateTime::currentDateTime(); }
};

// Empty when date ("yyyy-MM-dd") and time ("HH:mm:ss") form a moment within
// span and not before previous (the moment of the row before, if valid);
// else what is wrong. The moment is returned through moment.
inline QString momentFault(const QString &date, const QString &time, const ClockSpan &span,
                           const QDateTime &previous, QDateTime *moment = nullptr)
{
    const QDate day = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    const QTime clock = QTime::fromString(time, QStringLiteral("HH:mm:ss"));
    if (!day.isValid() || !clock.isValid())
        return QStringLiteral("'%1' '%2' is no date and time").arg(date, time);
    const QDateTime at(day, clock);
    if (at < span.from || at > span.to)
        return QStringLiteral("%1 %2 lies outside %3 .. %4")
            .arg(date, time, span.from.toString(Qt::ISODate), span.to.toString(Qt::ISODate));
    if (previous.isValid() && at < previous)
        return QStringLiteral("%1 %2 comes before the row above it").arg(date, time);
    if (moment)
        *moment = at;
    return QString();
}
