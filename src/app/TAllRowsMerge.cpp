#include "app/TAllRowsMerge.h"

#include "assembly/TCaseTable.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TMergeTemplate.h"
#include "text/StringUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace {
QString LetterName(std::size_t row, std::size_t rowCount)
{
    const int width = static_cast<int>(std::to_string(rowCount).size());
    return QStringLiteral("%1").arg(static_cast<qulonglong>(row + 1), width, 10, QChar(u'0'));
}

QString OneLine(const std::string &message)
{
    return QString::fromStdString(message).replace(QLatin1Char(';'), QLatin1Char(' ')).simplified();
}
} // namespace

TAllRowsMerge::TAllRowsMerge(const TCaseTable &table, const QString &tableName, bool overwriteMode)
    : FTable(table), FTableName(tableName), FOverwriteMode(overwriteMode)
{
}

TAllRowsMerge::TOutcome TAllRowsMerge::Run(QWidget &parent, const std::string &mergeText,
                                           const QString &folder,
                                           TMergedLetterWriter::TFormat format) const
{
    TOutcome outcome;
    const QDir target(folder);
    if (!target.exists() && !QDir().mkpath(folder))
        throw EFCreateError(QFile::encodeName(folder).toStdString());
    const TMergedLetterWriter writer(format);
    const TMergeTemplate mergeTemplate(mergeText);
    const int rows = static_cast<int>(FTable.RowCount());
    QProgressDialog progress(QObject::tr("Writing the letters of %1 into %2")
                                 .arg(QFileInfo(FTableName).fileName(), folder),
                             QObject::tr("Cancel"), 0, rows, &parent);
    progress.setObjectName(QStringLiteral("AllRowsProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    for (int row = 0; row < rows; ++row) {
        if (progress.wasCanceled()) {
            outcome.Cancelled = true;
            break;
        }
        const auto index = static_cast<std::size_t>(row);
        TMergeEngine engine(FTable.InformationLines(index));
        engine.SetOverwriteMode(FOverwriteMode);
        const TMergeResult result = engine.Merge(mergeTemplate);
        if (!result.Finished()) {
            outcome.Stopped
                << QObject::tr("row %1: %2").arg(row + 1).arg(OneLine(result.MessageText));
        } else {
            try {
                writer.Write(
                    target.filePath(LetterName(index, FTable.RowCount()) + writer.Suffix()),
                    result.Text);
                ++outcome.Written;
            } catch (const std::exception &error) {
                outcome.WriteError = QString::fromStdString(error.what());
                break;
            }
        }
        // Lets the bar paint and the Cancel button answer.
        progress.setValue(row + 1);
    }
    return outcome;
}

QString TAllRowsMerge::Summary(const TOutcome &outcome, int rowCount, const QString &folder)
{
    QString text = QObject::tr("%1 of %2 letters were written to %3.")
                       .arg(outcome.Written)
                       .arg(rowCount)
                       .arg(QDir::toNativeSeparators(folder));
    if (outcome.Cancelled)
        text += QObject::tr(";Cancelled: the rows after the last letter were not merged.");
    if (!outcome.WriteError.isEmpty())
        text += QObject::tr(";Stopped: %1").arg(outcome.WriteError);
    if (!outcome.Stopped.isEmpty()) {
        text += QObject::tr(";;The merge stopped in %1 rows:").arg(outcome.Stopped.size());
        constexpr int shown = 10;
        for (int i = 0; i < outcome.Stopped.size() && i < shown; ++i)
            text += QLatin1Char(';') + outcome.Stopped.at(i);
        if (outcome.Stopped.size() > shown)
            text += QObject::tr(";and %1 more.").arg(outcome.Stopped.size() - shown);
    }
    return text;
}
