#include "app/TAllRowsDialog.h"

#include "widgets/TDialogSeam.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

TAllRowsDialog::TAllRowsDialog(QWidget *parent, const QString &folder,
                               TMergedLetterWriter::TFormat format)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AllRowsDialog"));
    setWindowTitle(tr("Do It for All Rows"));
    auto *form = new QFormLayout(this);
    auto *folderRow = new QHBoxLayout;
    FFolder = new QLineEdit(folder, this);
    FFolder->setObjectName(QStringLiteral("FolderEdit"));
    folderRow->addWidget(FFolder, 1);
    auto *browse = new QPushButton(tr("&Browse..."), this);
    browse->setObjectName(QStringLiteral("BrowseButton"));
    browse->setAutoDefault(false);
    folderRow->addWidget(browse);
    form->addRow(tr("Write one letter per row into the &folder:"), folderRow);
    FFormat = new QComboBox(this);
    FFormat->setObjectName(QStringLiteral("FormatBox"));
    FFormat->addItem(tr("Rich text (.rtf)"), int(TMergedLetterWriter::TFormat::Rtf));
    FFormat->addItem(tr("Web page (.html)"), int(TMergedLetterWriter::TFormat::Html));
    FFormat->addItem(tr("PDF, printed as the window prints (.pdf)"),
                     int(TMergedLetterWriter::TFormat::Pdf));
    FFormat->setCurrentIndex(FFormat->findData(int(format)));
    form->addRow(tr("&Format:"), FFormat);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    FOk = buttons->button(QDialogButtonBox::Ok);
    FOk->setObjectName(QStringLiteral("OkButton"));
    form->addRow(buttons);

    const auto update = [this] { FOk->setEnabled(!FFolder->text().trimmed().isEmpty()); };
    update();
    connect(FFolder, &QLineEdit::textChanged, this, update);
    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString TAllRowsDialog::Folder() const
{
    return FFolder->text().trimmed();
}

TMergedLetterWriter::TFormat TAllRowsDialog::Format() const
{
    return TMergedLetterWriter::TFormat(FFormat->currentData().toInt());
}

void TAllRowsDialog::Browse()
{
    QFileDialog dialog(this, tr("Folder for the letters"), Folder());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (TDialogSeam::Exec(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        FFolder->setText(dialog.selectedFiles().first());
}
