#pragma once

#include "widgets/SettingsStore.h"

#include <QAction>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QFontMetrics;

class TMRUMenuItem;

// A list of recently used file paths shown as numbered menu items under a menu item
// (optionally in a submenu, with items that clear the list and remove obsolete entries),
// kept in the settings store or an INI file.
class TMRUFileList : public QObject
{
    Q_OBJECT
public:
    enum TMRUDisplay { FullPath = 0, FileNameOnly = 1, FileNameWithoutExtension = 2, Custom = 3 };

    // Decides whether an entry is obsolete (true: remove it).
    using RemoveObsoleteEvent = std::function<bool(const QString &fileName)>;
    // The caption of an entry in display mode Custom.
    using GetDisplayNameEvent = std::function<QString(const QString &fileName)>;

    explicit TMRUFileList(QObject *parent = nullptr);
    // Saves the list when AutoSave is set.
    ~TMRUFileList() override;

    // Ends the configuration phase: loads the list from the store when AutoSave is set.
    // Until then changes of the store settings do not reload the list.
    void Loaded();

    void AddItem(const QString &fileName);
    // From an MRUItemClick handler whose command was cancelled: the clicked entry stays in the
    // list where it was.
    void KeepClickedItem() { FKeepClickedItem = true; }
    void ClearAllItems();
    void RemoveObsoleteItems();
    void LoadFromStore();
    void SaveToStore() const;
    void PopulateMenu();
    void RemoveMenuItems();

    // The entries, the first one at the top of the menu.
    QStringList Items() const { return FItems; }
    // The menu items of the list that exist now (separators, submenu and special items too).
    QList<QAction *> MenuItems() const;

    // A path shortened with leading folders replaced by "...\" (or ".../") until it is at most
    // maxWidth pixels wide in the given metrics.
    static QString ShortenPath(const QString &path, int maxWidth, const QFontMetrics &metrics);
    // Accelerator prefix of entry index (from 0): "&1 " ... "&Z ", then none.
    static QString Prefix(int index);

    bool UseRegistry() const { return FUseRegistry; }
    void SetUseRegistry(bool value);
    bool AddToTop() const { return FAddToTop; }
    void SetAddToTop(bool value) { FAddToTop = value; }
    int Maximum() const { return FMaximum; }
    void SetMaximum(int value);
    bool RemoveOnClick() const { return FRemoveOnClick; }
    void SetRemoveOnClick(bool value) { FRemoveOnClick = value; }
    bool UseSubmenu() const { return FUseSubmenu; }
    void SetUseSubmenu(bool value);
    bool InsertSeparator() const { return FInsertSeparator; }
    void SetInsertSeparator(bool value);
    QString SubmenuName() const { return FSubmenuName; }
    void SetSubmenuName(const QString &value);
    QString ClearItemName() const { return FClearItemName; }
    void SetClearItemName(const QString &value);
    bool ShowClearItem() const { return FShowClearItem; }
    void SetShowClearItem(bool value);
    bool ShowRemoveObsolete() const { return FShowRemoveObsolete; }
    void SetShowRemoveObsolete(bool value);
    QString RemoveObsoleteName() const { return FRemoveObsoleteName; }
    void SetRemoveObsoleteName(const QString &value);
    // The menu item the entries belong to: entries go into its submenu when it has one,
    // otherwise into its menu just above it.
    QAction *FileMenu() const { return FFileMenu; }
    void SetFileMenu(QAction *value);
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *value);
    bool AutoSave() const { return FAutoSave; }
    void SetAutoSave(bool value) { FAutoSave = value; }
    // Settings-store key path (with UseRegistry) or INI file name.
    QString AutoSaveName() const { return FAutoSaveName; }
    void SetAutoSaveName(const QString &value);
    // Subkey (INI: section) holding the entries.
    QString AutoSaveKey() const { return FAutoSaveKey; }
    void SetAutoSaveKey(const QString &value);
    TRegRoot AutoSaveRootKey() const { return FAutoSaveRootKey; }
    void SetAutoSaveRootKey(TRegRoot value);
    // Caption width limit in pixels for display mode FullPath; 0 means no limit.
    int MaxCaptionWidth() const { return FMaxCaptionWidth; }
    void SetMaxCaptionWidth(int value);
    TMRUDisplay MRUDisplay() const { return FMRUDisplay; }
    void SetMRUDisplay(TMRUDisplay value);

    RemoveObsoleteEvent OnRemoveObsolete;
    GetDisplayNameEvent OnGetDisplayName;

signals:
    // An entry was clicked (after it was removed from the list when RemoveOnClick is set).
    void MRUItemClick(const QString &fileName);
    // A menu item of the list was created (entries, separators, submenu, special items).
    void CreateMRUItem(QAction *item);
    // An entry's menu item is being destroyed.
    void DestroyMRUItem(TMRUMenuItem *item);

private:
    void ItemDestroyed(TMRUMenuItem *item);
    void ItemClicked(TMRUMenuItem *item);
    void Rebuild();
    void ReloadIfConfigured();
    void DropFromFarEnd();
    QString CaptionFor(int index, const QString &fullCaption) const;
    QAction *NewAction(const QString &caption, bool separator);

    QStringList FItems;
    bool FSuspendRebuild = false;
    bool FKeepClickedItem = false;
    bool FLoading = true;
    QList<QPointer<QAction>> FMenuItems;
    QPointer<QMenu> FSubmenu;

    bool FUseRegistry = true;
    bool FAddToTop = true;
    int FMaximum = 5;
    bool FRemoveOnClick = true;
    bool FUseSubmenu = false;
    bool FInsertSeparator = true;
    QString FSubmenuName;
    QString FClearItemName;
    bool FShowClearItem = true;
    bool FShowRemoveObsolete = true;
    QString FRemoveObsoleteName;
    QPointer<QAction> FFileMenu;
    QPointer<QMenu> FPopupMenu;
    bool FAutoSave = true;
    QString FAutoSaveName;
    QString FAutoSaveKey;
    TRegRoot FAutoSaveRootKey = TRegRoot::CURRENT_USER;
    int FMaxCaptionWidth = 200;
    TMRUDisplay FMRUDisplay = FullPath;
};
