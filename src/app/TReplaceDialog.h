#pragma once

#include "app/TFindDialog.h"

// The modeless replace dialog: the find dialog's fields plus the replace text, and the buttons
// Find Next, Replace, Replace All and Cancel. Find Next, Replace and Replace All stay disabled
// while the find text is empty.
class TReplaceDialog : public TFindDialog
{
    Q_OBJECT
public:
    explicit TReplaceDialog(QWidget *parent = nullptr);

    QString ReplaceText() const;
    void SetReplaceText(const QString &text);

    QLineEdit *ReplaceEdit = nullptr;
    QPushButton *ReplaceButton = nullptr;
    QPushButton *ReplaceAllButton = nullptr;

signals:
    // Replace (all false) or Replace All (all true) was pressed with a find text.
    void OnReplace(bool all);

protected:
    void UpdateButtons() override;
};
