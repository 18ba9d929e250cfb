#include "app/TRecoveryDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TRecoveryDialog::TRecoveryDialog(const std::vector<TRecoveryCopy> &copies, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("RecoveryDialog"));
    setWindowTitle(tr("Recover Unsaved Work"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        tr("Zarvel did not end normally. These texts had changes that were not saved:"), this));

    auto *list = new QTreeWidget(this);
    list->setObjectName(QStringLiteral("RecoveryCopies"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({tr("File"), tr("Time"), tr("Pane")});
    for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy) {
        const QString file = QFileInfo(copy->Name).fileName();
        const QString time = QLocale().toString(copy->Time, QLocale::ShortFormat);
        const QString pane = copy->Pane == TPane::Document ? tr("document") : tr("information");
        auto *item = new QTreeWidgetItem(list, {file, time, pane});
        item->setToolTip(0, copy->Name);
    }
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(list);

    auto *buttons = new QDialogButtonBox(this);
    const auto addButton = [&](const QString &name, const QString &text, int answer) {
        QPushButton *button = buttons->addButton(text, QDialogButtonBox::ActionRole);
        button->setObjectName(name);
        connect(button, &QPushButton::clicked, this, [this, answer] { done(answer); });
        return button;
    };
    addButton(QStringLiteral("RecoverButton"), tr("&Recover"), Recover)->setDefault(true);
    addButton(QStringLiteral("DiscardButton"), tr("&Discard"), Discard);
    addButton(QStringLiteral("LaterButton"), tr("&Later"), Later);
    layout->addWidget(buttons);
}
