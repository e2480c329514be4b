// The log-file reader: any bytes as a log file, loaded through the real path
// (line reader, header and count, record lines, staging file, LoadData in an
// SQLite file reused by every input). A load either throws, leaving LoadData
// empty, or appends one row and one staging line per record line.
#include "fuzzsupport.h"

#include "common/apppaths.h"
#include "common/kelvoraerror.h"
#include "store/kelvoradatabase.h"
#include "store/logfileformat.h"
#include "store/logfilereader.h"
#include "store/measuretable.h"

#include <QFile>

namespace {

struct Store {
    Store()
    {
        AppPaths::setExecutableDir(Fuzz::workDir().path());
        database.open(Fuzz::workPath(QStringLiteral("Kelvora.mdb")));
        loadData.open();
    }
    KelvoraDatabase database;
    MeasureTable loadData{database, QStringLiteral("LoadData")};
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Store store;
    static const QString path = Fuzz::workPath(QStringLiteral("fuzz.klg"));
    Fuzz::writeFile(path, Fuzz::bytesOf(data, size));

    const bool celsius = size % 2 == 0;
    try {
        const LogLoadResult result = loadLogFile(path, store.database, store.loadData, 1, celsius);
        Fuzz::require(store.loadData.rows().size() == result.rowsAppended());
        if (result.rowsAppended() > 0) {
            QFile staging(AppPaths::besideExecutable(QString::fromLatin1(LogFile::StagingFileName)));
            Fuzz::require(staging.open(QIODevice::ReadOnly));
            Fuzz::require(staging.readAll().count("\r\n") == result.rowsAppended());
        }
    } catch (const KelvoraError &) {
        Fuzz::require(store.loadData.rows().isEmpty());
    }
    store.loadData.emptyTable();
    return 0;
}
