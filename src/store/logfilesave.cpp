#include "store/logfilesave.h"

#include "common/dialogs.h"
#include "common/savesuggestion.h"
#include "store/logfileformat.h"
#include "store/logfilewriter.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The two save dialogs list the same two patterns in a different order.
const QString ImportFilter = QStringLiteral("*.KLG (*.KLG);;*.klg (*.klg)");
const QString MeasureFilter = QStringLiteral("*.klg (*.klg);;*.KLG (*.KLG)");

// Asks for a file and, when it exists, whether to replace it; the measurement
// window's question names the file, the import window's says "Filename".
// Returns Written with the path when the file is to be written.
// The dialog suggests a name of subject and the present moment.
LogSaveResult chooseFile(const QString &filter, bool questionNamesFile, const QString &subject)
{
    Dialogs &dialogs = Dialogs::instance();
    const QString suggested =
        SaveSuggestion::fileName(subject, QDateTime::currentDateTime(), QLatin1String(LogFile::Extension));
    const QString chosen = dialogs.saveFileName(QStringLiteral("Save As"), filter, suggested);
    if (chosen.isEmpty())
        return {LogSaveOutcome::Cancelled, QString()};
    const QString path = withLogExtension(chosen);
    if (QFileInfo(path).isFile()) {
        const QString subject =
            questionNamesFile ? QDir::toNativeSeparators(path) : QStringLiteral("Filename ");
        if (dialogs.message(subject + QStringLiteral(" already exits!\rAre you sure to replace it?"),
                            QStringLiteral("Query Information"), Dialogs::Icon::Question,
                            Dialogs::Yes | Dialogs::No) != Dialogs::Yes)
            return {LogSaveOutcome::OverwriteRefused, QString()};
    }
    return {LogSaveOutcome::Written, path};
}

// Writes the chosen file, if any.
LogSaveResult write(MeasureTable &table, const LogSaveResult &choice, LogValueText valueText)
{
    if (choice.outcome == LogSaveOutcome::Written)
        writeLogFile(choice.path, table, valueText);
    return choice;
}

} // namespace

QString withLogExtension(const QString &chosenPath)
{
    return chosenPath.contains(QLatin1Char('.')) ? chosenPath
                                                 : chosenPath + QLatin1String(LogFile::Extension);
}

LogSaveResult saveImportLog(MeasureTable &getRecorde)
{
    return write(getRecorde, chooseFile(ImportFilter, false, QStringLiteral("Import")),
                 LogValueText::Shortest);
}

LogSaveResult saveMeasureLog(MeasureTable &meaData, const QString &path)
{
    const LogSaveResult choice = path.isEmpty() ? chooseFile(MeasureFilter, true, QStringLiteral("Measure"))
                                                : LogSaveResult{LogSaveOutcome::Written, path};
    return write(meaData, choice, LogValueText::OneDecimal);
}
