#pragma once

#include <QDialog>

class QPlainTextEdit;

// The dialog of "Check Template": the template's name and the check's report, read-only in a
// fixed-width font so that its columns line up, with an OK button (named "OK").
class TCheckReportDialog : public QDialog
{
    Q_OBJECT

public:
    TCheckReportDialog(QWidget *parent, const QString &templateName, const QString &report);

    QString Report() const;

private:
    QPlainTextEdit *FReport = nullptr;
};
