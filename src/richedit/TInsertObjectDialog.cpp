#include "richedit/TInsertObjectDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <utility>

TInsertObjectDialog::TInsertObjectDialog(QWidget *parent, std::function<int(QDialog &)> runner)
    : QDialog(parent), FRunner(std::move(runner))
{
    setWindowTitle(tr("Insert Object"));
    auto *layout = new QVBoxLayout(this);
    auto *fileRow = new QGridLayout;
    fileRow->addWidget(new QLabel(tr("Fi&le:")), 0, 0);
    FFile = new QLineEdit;
    FFile->setObjectName(QStringLiteral("File"));
    qobject_cast<QLabel *>(fileRow->itemAtPosition(0, 0)->widget())->setBuddy(FFile);
    fileRow->addWidget(FFile, 0, 1);
    auto *browse = new QPushButton(tr("&Browse..."));
    browse->setObjectName(QStringLiteral("Browse"));
    fileRow->addWidget(browse, 0, 2);
    layout->addLayout(fileRow);
    auto *how = new QGroupBox(tr("Insert as"));
    auto *howLayout = new QVBoxLayout(how);
    FEmbed = new QRadioButton(tr("&Embedded copy of the file"));
    FEmbed->setObjectName(QStringLiteral("Embed"));
    FLink = new QRadioButton(tr("Lin&k to the file"));
    FLink->setObjectName(QStringLiteral("Link"));
    FEmbed->setChecked(true);
    howLayout->addWidget(FEmbed);
    howLayout->addWidget(FLink);
    layout->addWidget(how);
    FIcon = new QCheckBox(tr("&Display As Icon"));
    FIcon->setObjectName(QStringLiteral("DisplayAsIcon"));
    layout->addWidget(FIcon);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    FOk = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &TInsertObjectDialog::Browse);
    connect(FFile, &QLineEdit::textChanged, this, &TInsertObjectDialog::UpdateButtons);
    UpdateButtons();
}

TInsertObjectRequest TInsertObjectDialog::Request() const
{
    TInsertObjectRequest request;
    request.Kind = FLink->isChecked() ? TInsertObjectRequest::TKind::LinkedToFile
                                      : TInsertObjectRequest::TKind::EmbeddedFromFile;
    request.FileName = FFile->text().trimmed();
    request.DisplayAsIcon = FIcon->isChecked();
    return request;
}

void TInsertObjectDialog::SetRequest(const TInsertObjectRequest &request)
{
    FFile->setText(request.FileName);
    (request.Kind == TInsertObjectRequest::TKind::LinkedToFile ? FLink : FEmbed)->setChecked(true);
    FIcon->setChecked(request.DisplayAsIcon);
}

QPoint TInsertObjectDialog::Placement(const QRect &screen, const QSize &window)
{
    return {screen.x() + (screen.width() - window.width()) / 2,
            screen.y() + (screen.height() - window.height()) / 3};
}

void TInsertObjectDialog::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = this->screen())
        move(Placement(screen->geometry(), frameGeometry().size()));
    QDialog::showEvent(event);
}

void TInsertObjectDialog::Browse()
{
    QFileDialog dialog(this, tr("Browse"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (FRunner && FRunner(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        FFile->setText(dialog.selectedFiles().constFirst());
}

void TInsertObjectDialog::UpdateButtons()
{
    FOk->setEnabled(!FFile->text().trimmed().isEmpty());
}
