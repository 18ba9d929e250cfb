#include "widgets/TMRUFileList.h"

#include "widgets/IniFile.h"
#include "widgets/TMRUMenuItem.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QSettings>

#include <algorithm>

namespace {

const QString DefaultClearItemName = QStringLiteral("&Clear MRU List");
const QString DefaultRemoveObsoleteName = QStringLiteral("&Remove Obsolete");
const QString PrefixChars = QStringLiteral("1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ");

// Index of the last folder separator of either kind, or -1.
int LastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

QString FileNamePart(const QString &path)
{
    return path.mid(LastSeparator(path) + 1);
}

QString WithoutExtension(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

// The menu or menu bar that shows an action, if any.
QWidget *PlaceOf(QAction *action)
{
    for (QObject *object : action->associatedObjects()) {
        if (auto *widget = qobject_cast<QWidget *>(object))
            return widget;
    }
    return nullptr;
}

} // namespace

TMRUFileList::TMRUFileList(QObject *parent)
    : QObject(parent), FSubmenuName(tr("Reopen")), FClearItemName(DefaultClearItemName),
      FRemoveObsoleteName(DefaultRemoveObsoleteName),
      FAutoSaveName(QStringLiteral("\\Software\\My Application")),
      FAutoSaveKey(QStringLiteral("MRU Items"))
{
}

TMRUFileList::~TMRUFileList()
{
    if (FAutoSave) {
        try {
            SaveToStore();
        } catch (const std::exception &) {
            // Nothing can be reported while the window closes; the old list stays stored.
        }
    }
    for (const QPointer<QAction> &action : FMenuItems)
        delete action.data();
    delete FSubmenu.data();
}

void TMRUFileList::Loaded()
{
    FLoading = false;
    if (FAutoSave)
        LoadFromStore();
}

QString TMRUFileList::Prefix(int index)
{
    if (index < 0 || index >= PrefixChars.size())
        return QString();
    return QLatin1Char('&') + PrefixChars.at(index) + QLatin1Char(' ');
}

QString TMRUFileList::ShortenPath(const QString &path, int maxWidth, const QFontMetrics &metrics)
{
    const QChar sep = path.contains(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('\\');
    const QString ellipsis = QStringLiteral("...") + sep;
    const int split = LastSeparator(path);
    const QString fileName = path.mid(split + 1);
    QString folders = path.left(split + 1);
    QString drive;
    if (folders.size() >= 2 && folders.at(1) == QLatin1Char(':')) {
        drive = folders.left(2);
        folders = folders.mid(2);
    }
    while (metrics.horizontalAdvance(drive + folders + fileName) > maxWidth &&
           (!drive.isEmpty() || !folders.isEmpty())) {
        const QString before = drive + folders;
        if (folders == sep + ellipsis) {
            drive.clear();
            folders = ellipsis;
        } else if (folders.isEmpty()) {
            drive.clear();
        } else {
            QString lead;
            if (folders.startsWith(sep)) {
                lead = sep;
                folders.remove(0, 1);
            }
            if (folders.startsWith(ellipsis))
                folders.remove(0, ellipsis.size());
            const int next = folders.indexOf(sep);
            folders = next < 0 ? QString() : ellipsis + folders.mid(next + 1);
            folders = lead + folders;
        }
        // A folder part that is only the root separator cannot be cut further; stop rather
        // than loop for ever.
        if (drive + folders == before)
            break;
    }
    return drive + folders + fileName;
}

void TMRUFileList::AddItem(const QString &fileName)
{
    int found = -1;
    for (int i = 0; i < FItems.size(); ++i) {
        if (FItems.at(i).compare(fileName, Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        if (FAddToTop)
            FItems.prepend(fileName);
        else
            FItems.append(fileName);
        DropFromFarEnd();
    } else {
        FItems.move(found, FAddToTop ? 0 : FItems.size() - 1);
    }
    if (!FSuspendRebuild)
        PopulateMenu();
}

void TMRUFileList::DropFromFarEnd()
{
    while (FItems.size() > FMaximum) {
        if (FAddToTop)
            FItems.removeLast();
        else
            FItems.removeFirst();
    }
}

void TMRUFileList::ClearAllItems()
{
    RemoveMenuItems();
    FItems.clear();
}

void TMRUFileList::RemoveObsoleteItems()
{
    bool removed = false;
    for (int i = FItems.size() - 1; i >= 0; --i) {
        const QString &path = FItems.at(i);
        const bool obsolete = OnRemoveObsolete ? OnRemoveObsolete(path) : !QFileInfo::exists(path);
        if (obsolete) {
            FItems.removeAt(i);
            removed = true;
        }
    }
    if (removed)
        PopulateMenu();
}

void TMRUFileList::LoadFromStore()
{
    RemoveMenuItems();
    FItems.clear();
    if (FAutoSaveName.isEmpty() || FAutoSaveKey.isEmpty())
        return;
    if (FUseRegistry) {
        const auto settings = SettingsStore::Open(FAutoSaveRootKey);
        settings->beginGroup(SettingsStore::GroupPath(FAutoSaveName) + QLatin1Char('/') +
                             SettingsStore::GroupPath(FAutoSaveKey));
        for (const QString &name : SettingsStore::InWrittenOrder(settings->childKeys())) {
            const QString path = settings->value(name).toString();
            if (!path.isEmpty())
                FItems.append(path);
        }
    } else {
        for (const auto &entry : IniFile::ReadSection(FAutoSaveName, FAutoSaveKey)) {
            if (!entry.second.isEmpty())
                FItems.append(entry.second);
        }
    }
    DropFromFarEnd();
    PopulateMenu();
}

void TMRUFileList::SaveToStore() const
{
    if (FAutoSaveName.isEmpty() || FAutoSaveKey.isEmpty())
        return;
    if (FUseRegistry) {
        const auto settings = SettingsStore::Open(FAutoSaveRootKey);
        settings->beginGroup(SettingsStore::GroupPath(FAutoSaveName));
        const QString key = SettingsStore::GroupPath(FAutoSaveKey);
        settings->remove(key);
        settings->beginGroup(key);
        for (int i = 0; i < FItems.size(); ++i)
            settings->setValue(QStringLiteral("F%1").arg(i), FItems.at(i));
        settings->endGroup();
        settings->endGroup();
        settings->sync();
    } else {
        IniFile::Entries entries;
        for (int i = 0; i < FItems.size(); ++i)
            entries.append({QStringLiteral("F%1").arg(i), FItems.at(i)});
        IniFile::WriteSection(FAutoSaveName, FAutoSaveKey, entries);
    }
}

QList<QAction *> TMRUFileList::MenuItems() const
{
    QList<QAction *> items;
    if (FSubmenu)
        items.append(FSubmenu->menuAction());
    for (const QPointer<QAction> &action : FMenuItems) {
        if (action)
            items.append(action.data());
    }
    return items;
}

void TMRUFileList::RemoveMenuItems()
{
    // Deferred deletion: the clicked entry itself is removed while its signal runs.
    for (const QPointer<QAction> &action : FMenuItems) {
        if (!action)
            continue;
        for (QObject *object : action->associatedObjects()) {
            if (auto *widget = qobject_cast<QWidget *>(object))
                widget->removeAction(action);
        }
        action->deleteLater();
    }
    FMenuItems.clear();
    if (FSubmenu) {
        for (QObject *object : FSubmenu->menuAction()->associatedObjects()) {
            if (auto *widget = qobject_cast<QWidget *>(object))
                widget->removeAction(FSubmenu->menuAction());
        }
        FSubmenu->deleteLater();
        FSubmenu.clear();
    }
}

QAction *TMRUFileList::NewAction(const QString &caption, bool separator)
{
    auto *action = new QAction(caption, this);
    action->setSeparator(separator);
    FMenuItems.append(action);
    emit CreateMRUItem(action);
    return action;
}

QString TMRUFileList::CaptionFor(int index, const QString &fullCaption) const
{
    const QString path = FItems.at(index);
    switch (FMRUDisplay) {
    case FullPath:
        if (FMaxCaptionWidth > 0)
            return Prefix(index) +
                   ShortenPath(path, FMaxCaptionWidth, QFontMetrics(QApplication::font()));
        return fullCaption;
    case FileNameOnly:
        return FileNamePart(fullCaption);
    case FileNameWithoutExtension:
        return WithoutExtension(FileNamePart(fullCaption));
    case Custom:
        return OnGetDisplayName ? OnGetDisplayName(path) : fullCaption;
    }
    return fullCaption;
}

void TMRUFileList::PopulateMenu()
{
    if (!FFileMenu && !FPopupMenu)
        return;
    RemoveMenuItems();
    if (FItems.isEmpty())
        return;

    const auto addEntries = [this](QWidget *place, QAction *before) {
        for (int i = 0; i < FItems.size(); ++i) {
            const QString fullCaption = Prefix(i) + FItems.at(i);
            auto *item = new TMRUMenuItem(this, i + 1, fullCaption);
            item->setParent(this);
            // The entry reports while it is still whole; a list being destroyed has dropped
            // this connection before its entries go.
            connect(item, &TMRUMenuItem::Destroying, this, &TMRUFileList::ItemDestroyed);
            item->setText(CaptionFor(i, fullCaption));
            connect(item, &QAction::triggered, this, [this, item] { ItemClicked(item); });
            FMenuItems.append(item);
            place->insertAction(before, item);
            emit CreateMRUItem(item);
        }
    };

    if (FFileMenu) {
        QWidget *place = FFileMenu->menu();
        QAction *before = nullptr;
        if (!place) {
            place = PlaceOf(FFileMenu);
            before = FFileMenu;
        }
        if (place) {
            if (FInsertSeparator)
                place->insertAction(before, NewAction(QStringLiteral("-"), true));
            if (FUseSubmenu) {
                FSubmenu = new QMenu(FSubmenuName, place);
                place->insertAction(before, FSubmenu->menuAction());
                emit CreateMRUItem(FSubmenu->menuAction());
                place = FSubmenu;
                before = nullptr;
            }
            addEntries(place, before);
            if (FShowClearItem || FShowRemoveObsolete)
                place->insertAction(before, NewAction(QStringLiteral("-"), true));
            if (FShowClearItem) {
                QAction *clear = NewAction(
                    FClearItemName.isEmpty() ? DefaultClearItemName : FClearItemName, false);
                connect(clear, &QAction::triggered, this, &TMRUFileList::ClearAllItems);
                place->insertAction(before, clear);
            }
            if (FShowRemoveObsolete) {
                QAction *remove = NewAction(
                    FRemoveObsoleteName.isEmpty() ? DefaultRemoveObsoleteName : FRemoveObsoleteName,
                    false);
                connect(remove, &QAction::triggered, this, &TMRUFileList::RemoveObsoleteItems);
                place->insertAction(before, remove);
            }
        }
    }
    if (FPopupMenu)
        addEntries(FPopupMenu, FPopupMenu->actions().value(0));
}

void TMRUFileList::ItemClicked(TMRUMenuItem *item)
{
    const int index = item->ItemNumber() - 1;
    if (index < 0 || index >= FItems.size())
        return;
    const QString path = FItems.at(index);
    if (FRemoveOnClick) {
        FItems.removeAt(index);
        PopulateMenu();
    }
    FKeepClickedItem = false;
    emit MRUItemClick(path);
    if (FKeepClickedItem && FRemoveOnClick && !FItems.contains(path)) {
        FItems.insert(std::min(index, int(FItems.size())), path);
        PopulateMenu();
    }
    FKeepClickedItem = false;
}

void TMRUFileList::ItemDestroyed(TMRUMenuItem *item)
{
    emit DestroyMRUItem(item);
}

void TMRUFileList::Rebuild()
{
    if (!FSuspendRebuild)
        PopulateMenu();
}

void TMRUFileList::ReloadIfConfigured()
{
    if (FAutoSave && !FLoading)
        LoadFromStore();
}

void TMRUFileList::SetUseRegistry(bool value)
{
    FUseRegistry = value;
    if (FUseRegistry && !FAutoSaveName.isEmpty() && !FAutoSaveName.startsWith(QLatin1Char('\\')))
        FAutoSaveName.prepend(QLatin1Char('\\'));
}

void TMRUFileList::SetMaximum(int value)
{
    value = std::clamp(value, 0, 255);
    if (value == FMaximum)
        return;
    const bool lower = value < FMaximum;
    FMaximum = value;
    if (lower) {
        DropFromFarEnd();
        Rebuild();
    }
}

#define ZARVEL_MENU_SETTER(Name, Type, Field)                                                      \
    void TMRUFileList::Set##Name(Type value)                                                       \
    {                                                                                              \
        if (Field == value)                                                                        \
            return;                                                                                \
        Field = value;                                                                             \
        Rebuild();                                                                                 \
    }

ZARVEL_MENU_SETTER(UseSubmenu, bool, FUseSubmenu)
ZARVEL_MENU_SETTER(InsertSeparator, bool, FInsertSeparator)
ZARVEL_MENU_SETTER(ClearItemName, const QString &, FClearItemName)
ZARVEL_MENU_SETTER(ShowClearItem, bool, FShowClearItem)
ZARVEL_MENU_SETTER(ShowRemoveObsolete, bool, FShowRemoveObsolete)
ZARVEL_MENU_SETTER(RemoveObsoleteName, const QString &, FRemoveObsoleteName)
ZARVEL_MENU_SETTER(MaxCaptionWidth, int, FMaxCaptionWidth)

#undef ZARVEL_MENU_SETTER

void TMRUFileList::SetSubmenuName(const QString &value)
{
    if (FSubmenuName == value)
        return;
    FSubmenuName = value;
    if (FUseSubmenu)
        Rebuild();
}

void TMRUFileList::SetFileMenu(QAction *value)
{
    if (FFileMenu == value)
        return;
    RemoveMenuItems();
    FFileMenu = value;
    Rebuild();
}

void TMRUFileList::SetPopupMenu(QMenu *value)
{
    if (FPopupMenu == value)
        return;
    RemoveMenuItems();
    FPopupMenu = value;
    Rebuild();
}

void TMRUFileList::SetAutoSaveName(const QString &value)
{
    FAutoSaveName = value;
    if (FUseRegistry && !FAutoSaveName.isEmpty() && !FAutoSaveName.startsWith(QLatin1Char('\\')))
        FAutoSaveName.prepend(QLatin1Char('\\'));
    ReloadIfConfigured();
}

void TMRUFileList::SetAutoSaveKey(const QString &value)
{
    FAutoSaveKey = value;
    ReloadIfConfigured();
}

void TMRUFileList::SetAutoSaveRootKey(TRegRoot value)
{
    FAutoSaveRootKey = value;
    ReloadIfConfigured();
}

void TMRUFileList::SetMRUDisplay(TMRUDisplay value)
{
    FMRUDisplay = value;
    ReloadIfConfigured();
    Rebuild();
}
