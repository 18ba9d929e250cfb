#pragma once

#include <QDialog>
#include <QFont>
#include <QStringList>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// The tip-of-the-day dialog: one tip at a time with buttons to step through the tips.
class TTipsForm : public QDialog
{
    Q_OBJECT
public:
    struct Setup
    {
        QString Caption;
        QString Title;
        QStringList Tips;
        QFont TitleFont;
        QColor TitleColor;
        QFont TipFont;
        QColor TipColor;
        QColor PanelColor;
        QString CRLFSubstitute;
        bool RandomTips = false;
        bool ShowAtStartup = true;
    };

    explicit TTipsForm(QWidget *parent = nullptr);

    // Fills the dialog and shows the first tip.
    void Prepare(const Setup &setup);

    // Index of the tip shown, -1 when there is none.
    int Index() const { return FIndex; }

    // The tip text with every occurrence of the substitute replaced by a line break.
    static QString TipText(const QString &tip, const QString &substitute);
    // The tip picture on a background of the given colour.
    static QPixmap TipPicture(const QColor &background);

    QFrame *TipPanel = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *TipTitleLbl = nullptr;
    QLabel *TipLbl = nullptr;
    QCheckBox *ShowChk = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *NextBtn = nullptr;
    QPushButton *PrevBtn = nullptr;

public slots:
    void NextBtnClick();
    void PrevBtnClick();

private:
    void ShowTip();

    QStringList FTips;
    int FIndex = -1;
    bool FRandom = false;
    QString FSubstitute;
};
