#include "app/TFindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(tr("Find"));
    setModal(false);

    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    auto *findLabel = new QLabel(tr("Fi&nd what:"), this);
    findLabel->setBuddy(FindEdit);
    MatchCaseBox = new QCheckBox(tr("Match &case"), this);
    MatchCaseBox->setObjectName(QStringLiteral("MatchCaseBox"));
    WholeWordBox = new QCheckBox(tr("Match &whole word only"), this);
    WholeWordBox->setObjectName(QStringLiteral("WholeWordBox"));

    FindNextButton = new QPushButton(tr("&Find Next"), this);
    FindNextButton->setObjectName(QStringLiteral("FindNextButton"));
    FindNextButton->setDefault(true);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    FFields = new QGridLayout;
    FFields->addWidget(findLabel, 0, 0);
    FFields->addWidget(FindEdit, 0, 1);
    auto *checks = new QVBoxLayout;
    checks->addWidget(WholeWordBox);
    checks->addWidget(MatchCaseBox);
    checks->addStretch();
    FFields->addLayout(checks, 2, 0, 1, 2);

    FButtons = new QVBoxLayout;
    FButtons->addWidget(FindNextButton);
    FButtons->addWidget(CancelButton);
    FButtons->addStretch();

    auto *top = new QHBoxLayout(this);
    top->addLayout(FFields, 1);
    top->addLayout(FButtons);

    connect(FindEdit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    connect(FindNextButton, &QPushButton::clicked, this, [this] {
        if (!FindText().isEmpty())
            emit OnFind();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::hide);
    UpdateButtons();
    // The fields from top to bottom, then the buttons.
    ChainTabOrder({FindEdit, WholeWordBox, MatchCaseBox, FindNextButton, CancelButton});
}

void TFindDialog::ChainTabOrder(std::initializer_list<QWidget *> widgets)
{
    QWidget *before = nullptr;
    for (QWidget *widget : widgets) {
        if (before)
            QWidget::setTabOrder(before, widget);
        before = widget;
    }
}

void TFindDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    emit OnShownChanged();
}

void TFindDialog::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    emit OnShownChanged();
}

QString TFindDialog::FindText() const
{
    return FindEdit->text();
}

void TFindDialog::SetFindText(const QString &text)
{
    FindEdit->setText(text);
}

bool TFindDialog::MatchCase() const
{
    return MatchCaseBox->isChecked();
}

void TFindDialog::SetMatchCase(bool on)
{
    MatchCaseBox->setChecked(on);
}

bool TFindDialog::WholeWord() const
{
    return WholeWordBox->isChecked();
}

void TFindDialog::SetWholeWord(bool on)
{
    WholeWordBox->setChecked(on);
}

void TFindDialog::Execute()
{
    show();
    raise();
    activateWindow();
    FindEdit->setFocus();
    FindEdit->selectAll();
}

void TFindDialog::UpdateButtons()
{
    FindNextButton->setEnabled(!FindText().isEmpty());
}
