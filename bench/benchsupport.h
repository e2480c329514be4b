#pragma once

// Pieces the benchmark programs share.

#include "store/measuretable.h"

#include <QByteArray>
#include <QFile>
#include <QLatin1Char>
#include <QString>

// Peak resident memory of this process in kB (VmHWM), 0 where unknown.
inline long peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// A measurement row as the window stores it: the i-th second of one morning.
inline MeasureRecord benchRecord(qint64 recno, int i, double value)
{
    MeasureRecord r;
    r.recno = recno;
    r.date = QStringLiteral("2024-05-01");
    r.time = QStringLiteral("10:%1:%2")
                 .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                 .arg(i % 60, 2, 10, QLatin1Char('0'));
    r.ems = 0.95;
    r.meavalue = value;
    r.unit = QStringLiteral("C");
    return r;
}
