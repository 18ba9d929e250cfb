#pragma once

#include <QDialog>
#include <QString>

#include <initializer_list>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The modeless find dialog: find text, match case, whole word, Find Next and Cancel. Searches
// always run forward. The search buttons stay disabled while the find text is empty, so no
// search is ever run for an empty text.
class TFindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TFindDialog(QWidget *parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString &text);
    bool MatchCase() const;
    void SetMatchCase(bool on);
    bool WholeWord() const;
    void SetWholeWord(bool on);

    // Shows the dialog (or raises it when it is already shown) with the find text selected.
    void Execute();

    QLineEdit *FindEdit = nullptr;
    QCheckBox *MatchCaseBox = nullptr;
    QCheckBox *WholeWordBox = nullptr;
    QPushButton *FindNextButton = nullptr;
    QPushButton *CancelButton = nullptr;

signals:
    // Find Next was pressed with a find text.
    void OnFind();
    // The dialog was shown or hidden.
    void OnShownChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // Room for the replace dialog's extra line and buttons.
    QGridLayout *FieldsLayout() const { return FFields; }
    QVBoxLayout *ButtonsLayout() const { return FButtons; }
    // Enables the buttons that need a find text.
    virtual void UpdateButtons();
    // Tab goes from each widget to the next of the list.
    static void ChainTabOrder(std::initializer_list<QWidget *> widgets);

private:
    QGridLayout *FFields = nullptr;
    QVBoxLayout *FButtons = nullptr;
};
