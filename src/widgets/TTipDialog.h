#pragma once

#include "widgets/SettingsStore.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QStringList>

// Where the tips come from.
enum class TTipLocation { locEmbeded, locRegistry, locINIFile };
// Where the dialog is placed.
enum class TTipShowPos { posScreenCenter, posFormCenter };

// Shows the tip-of-the-day dialog (TTipsForm) with tips from its own list, the settings store
// or an INI file.
class TTipDialog : public QObject
{
    Q_OBJECT
public:
    explicit TTipDialog(QObject *parent = nullptr);

    // Shows the dialog modally; returns the final state of its check box, which is also kept
    // in ShowAtStartup.
    bool Execute();
    // Fill Tips from the settings store or the INI file; true when tips were found.
    bool LoadTipsFromRegistry();
    bool LoadTipsFromIni();

    QString DlgCaption;
    QString TipTitle;
    QStringList Tips;
    QFont TipTitleFont;
    QColor TipTitleColor;
    QFont TipFont;
    QColor TipColor;
    TRegRoot RegistryRoot = TRegRoot::CURRENT_USER;
    QString RegistryKey;
    QString INIFile;
    QString INISection;
    TTipLocation TipsLocation = TTipLocation::locEmbeded;
    QColor PanelColor;
    // Text that stands for a line break inside a tip.
    QString CRLFSubstitute;
    bool RandomTips = false;
    bool ShowAtStartup = true;
    TTipShowPos Position = TTipShowPos::posScreenCenter;
};
