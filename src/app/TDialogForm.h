#pragma once

#include "app/TMsgBoxSettings.h"

#include <QChar>
#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;

// The message box, built at run time: an optional stock icon at the left, the message as
// several lines, an optional picture at the right and a centred row of buttons. Pressing the
// n-th button ends the dialog with the result n; the box has no other way to close.
class TDialogForm : public QDialog
{
    Q_OBJECT

public:
    // The MessageBeep types the icon letters stand for.
    enum TBeep {
        SimpleBeep = 0xFFFF,
        HandBeep = 0x10,
        QuestionBeep = 0x20,
        ExclamationBeep = 0x30,
        AsteriskBeep = 0x40
    };

    static constexpr int MaxButtons = 8;
    static constexpr int IconWidth = 32;
    static constexpr int MeasuredLength = 254;

    enum class TMode { Message, Input };

    // In input mode the buttons are always "&OK &Cancel" and an edit line pre-filled with
    // inputText stands above them.
    TDialogForm(const TMsgBoxSettings &settings, const QString &caption, QChar icon,
                const QString &message, const QString &buttons, TMode mode = TMode::Message,
                const QString &inputText = QString(), QWidget *parent = nullptr);

    // The texts as prepared for the box.
    const QString &Caption() const { return FCaption; }
    const QString &Message() const { return FMessage; }
    const QStringList &ButtonCaptions() const { return FButtonCaptions; }
    bool HasIcon() const { return FHasIcon; }
    TBeep Beep() const { return FBeep; }
    QString InputText() const;

    // Sounds the beep when the settings ask for one; called just before the box is shown.
    void BeepIfWanted() const;
    // The upper-case accelerator of the button that ended the box with this result,
    // QChar() for a result that belongs to no button.
    QChar ResultLetter(int result) const;

    // Input mode: Enter presses the first button.
    void HandleEnterKey();

    static QString PrepareButtons(const QString &buttons);
    static QString PrepareMessage(const QString &message);
    static QChar Accelerator(const QString &caption);
    // The bold 11-pixel sans-serif font the box measures and writes with.
    static QFont DialogFont();

public slots:
    // Only a button ends the box: Escape and the window's close request do nothing.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void CreateControls(const QString &inputText);
    void ApplyCaptionStyle();
    void ApplyColours();
    void ChooseIcon(QChar letter);
    void LoadPicture();
    void Measure();
    // The height the message label needs to show all its text at this width.
    int LabelHeight(int width) const;
    void LayOut();

    TMsgBoxSettings FSettings;
    QString FCaption;
    QString FMessage;
    QStringList FButtonCaptions;
    bool FInputMode = false;
    bool FHasIcon = false;
    TBeep FBeep = SimpleBeep;
    QPixmap FPicture;

    // Measured sizes in pixels.
    int FMessageWidth = 0;
    int FMessageHeight = 0;
    int FLabelLeft = 0;
    int FLabelWidth = 0;
    int FButtonWidth = 0;
    int FButtonHeight = 0;
    int FEditHeight = 0;
    int FClientWidth = 0;
    int FClientHeight = 0;

    QLabel *FMessageLabel = nullptr;
    QLabel *FIconLabel = nullptr;
    QLabel *FPictureLabel = nullptr;
    QLineEdit *FEdit = nullptr;
    QList<QPushButton *> FButtons;
};
