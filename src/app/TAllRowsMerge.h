#pragma once

#include "app/TMergedLetterWriter.h"

#include <QString>
#include <QStringList>

#include <string>

class QWidget;
class TCaseTable;

// "Do It for All Rows": every row of a table of cases merged with the template and written
// into a folder, one letter per row named by the row's number (zero-padded), under a progress
// bar whose Cancel stops after the letter being written. Every letter written is whole; a row
// whose merge stops is skipped and named in the outcome; a letter that cannot be written ends
// the run.
class TAllRowsMerge
{
public:
    struct TOutcome
    {
        int Written = 0;
        bool Cancelled = false;
        QStringList Stopped; // "row N: message" of each row whose merge stopped
        QString WriteError;  // why the run ended early, when a letter could not be written
    };

    TAllRowsMerge(const TCaseTable &table, const QString &tableName, bool overwriteMode);

    // The merge text is the template as LoadMergeText reads it.
    TOutcome Run(QWidget &parent, const std::string &mergeText, const QString &folder,
                 TMergedLetterWriter::TFormat format) const;

    // The outcome in words for the closing message (";" breaks lines).
    static QString Summary(const TOutcome &outcome, int rowCount, const QString &folder);

private:
    const TCaseTable &FTable;
    QString FTableName;
    bool FOverwriteMode;
};
