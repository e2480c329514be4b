#include "store/recordclock.h"

RecordStamp recordStamp(const QDateTime &moment)
{
    return {moment.toString(QStringLiteral("yyyy-MM-dd")), moment.toString(QStringLiteral("HH:mm:ss"))};
}

RecordStamp currentRecordStamp()
{
    return recordStamp(QDateTime::currentDateTime());
}
