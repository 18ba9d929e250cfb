#include "app/TReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TReplaceDialog::TReplaceDialog(QWidget *parent) : TFindDialog(parent)
{
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setWindowTitle(tr("Replace"));

    ReplaceEdit = new QLineEdit(this);
    ReplaceEdit->setObjectName(QStringLiteral("ReplaceEdit"));
    auto *replaceLabel = new QLabel(tr("Re&place with:"), this);
    replaceLabel->setBuddy(ReplaceEdit);
    FieldsLayout()->addWidget(replaceLabel, 1, 0);
    FieldsLayout()->addWidget(ReplaceEdit, 1, 1);

    ReplaceButton = new QPushButton(tr("&Replace"), this);
    ReplaceButton->setObjectName(QStringLiteral("ReplaceButton"));
    ReplaceAllButton = new QPushButton(tr("Replace &All"), this);
    ReplaceAllButton->setObjectName(QStringLiteral("ReplaceAllButton"));
    ButtonsLayout()->insertWidget(1, ReplaceButton);
    ButtonsLayout()->insertWidget(2, ReplaceAllButton);

    connect(ReplaceButton, &QPushButton::clicked, this, [this] {
        if (!FindText().isEmpty())
            emit OnReplace(false);
    });
    connect(ReplaceAllButton, &QPushButton::clicked, this, [this] {
        if (!FindText().isEmpty())
            emit OnReplace(true);
    });
    UpdateButtons();
    // The replace text right after the find text, as the fields lie.
    ChainTabOrder({FindEdit, ReplaceEdit, WholeWordBox, MatchCaseBox, FindNextButton, ReplaceButton,
                   ReplaceAllButton, CancelButton});
}

QString TReplaceDialog::ReplaceText() const
{
    return ReplaceEdit->text();
}

void TReplaceDialog::SetReplaceText(const QString &text)
{
    ReplaceEdit->setText(text);
}

void TReplaceDialog::UpdateButtons()
{
    TFindDialog::UpdateButtons();
    // Called from the base constructor too, before these buttons exist.
    const bool any = !FindText().isEmpty();
    if (ReplaceButton)
        ReplaceButton->setEnabled(any);
    if (ReplaceAllButton)
        ReplaceAllButton->setEnabled(any);
}
