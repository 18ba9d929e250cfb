#include "widgets/TTipDialog.h"

#include "widgets/IniFile.h"
#include "widgets/TDialogSeam.h"
#include "widgets/TTipsForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QMainWindow>
#include <QPalette>
#include <QScreen>
#include <QSettings>
#include <QToolTip>

namespace {

QWidget *MainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow *>(widget) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

} // namespace

TTipDialog::TTipDialog(QObject *parent)
    : QObject(parent), TipTitleFont(QApplication::font()),
      TipTitleColor(QApplication::palette().color(QPalette::WindowText)),
      TipFont(QApplication::font()), TipColor(QApplication::palette().color(QPalette::WindowText)),
      PanelColor(QToolTip::palette().color(QPalette::ToolTipBase))
{
}

bool TTipDialog::Execute()
{
    TTipsForm form;
    if (TipsLocation == TTipLocation::locRegistry) {
        Tips.clear();
        LoadTipsFromRegistry();
    } else if (TipsLocation == TTipLocation::locINIFile) {
        Tips.clear();
        LoadTipsFromIni();
    }
    TTipsForm::Setup setup;
    setup.Caption = DlgCaption;
    setup.Title = TipTitle;
    setup.Tips = Tips;
    setup.TitleFont = TipTitleFont;
    setup.TitleColor = TipTitleColor;
    setup.TipFont = TipFont;
    setup.TipColor = TipColor;
    setup.PanelColor = PanelColor;
    setup.CRLFSubstitute = CRLFSubstitute;
    setup.RandomTips = RandomTips;
    setup.ShowAtStartup = ShowAtStartup;
    form.Prepare(setup);

    QWidget *owner = Position == TTipShowPos::posFormCenter ? MainWindow() : nullptr;
    QRect area;
    if (owner)
        area = owner->frameGeometry();
    else if (QScreen *screen = QApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        form.move(area.center() - form.rect().center());

    TDialogSeam::Exec(form);
    ShowAtStartup = form.ShowChk->isChecked();
    return ShowAtStartup;
}

bool TTipDialog::LoadTipsFromRegistry()
{
    const auto settings = SettingsStore::Open(RegistryRoot);
    const QString group = SettingsStore::GroupPath(RegistryKey);
    if (group.isEmpty())
        return !Tips.isEmpty();
    settings->beginGroup(group);
    for (const QString &name : SettingsStore::InWrittenOrder(settings->childKeys())) {
        const QVariant value = settings->value(name);
        if (value.typeId() == QMetaType::QString)
            Tips.append(value.toString());
    }
    return !Tips.isEmpty();
}

bool TTipDialog::LoadTipsFromIni()
{
    if (INIFile.isEmpty() || INISection.isEmpty() || !QFileInfo::exists(INIFile))
        return false;
    for (const auto &entry : IniFile::ReadSection(INIFile, INISection))
        Tips.append(entry.second);
    return true;
}
