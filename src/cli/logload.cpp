#include "cli/logload.h"

#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "store/logfileformat.h"
#include "store/logfilereader.h"
#include "store/loglinereader.h"

namespace LogLoad {

bool firstRecordCelsius(const QString &path)
{
    LogLineReader lines(path);
    for (int header = 0; header < 2 && !lines.atEnd(); ++header)
        lines.next();
    if (lines.atEnd())
        return true;
    return lines.next().endsWith(QLatin1Char('C'));
}

void intoLoadData(const QString &path, TForm6 &link, bool celsius)
{
    MeasureTable &table = link.Table3;
    table.close();
    table.emptyTable();
    table.open();
    if (!loadLogFile(path, link.Database1, table, 1, celsius).accepted)
        throw KelvoraError(QStringLiteral("%1 is no log file: its first line is not \"%2\"")
                               .arg(path, QLatin1String(LogFile::Header)));
}

} // namespace LogLoad
