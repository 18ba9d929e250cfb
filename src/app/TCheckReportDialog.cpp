#include "app/TCheckReportDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TCheckReportDialog::TCheckReportDialog(QWidget *parent, const QString &templateName,
                                       const QString &report)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CheckReportDialog"));
    setWindowTitle(tr("Check Template"));
    auto *layout = new QVBoxLayout(this);
    auto *name = new QLabel(tr("Template: %1").arg(templateName), this);
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(name);

    FReport = new QPlainTextEdit(report, this);
    FReport->setObjectName(QStringLiteral("Report"));
    FReport->setReadOnly(true);
    FReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    FReport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(FReport);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(720, 480);
}

QString TCheckReportDialog::Report() const
{
    return FReport->toPlainText();
}
