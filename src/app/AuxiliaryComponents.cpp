#include "app/AuxiliaryComponents.h"

#include "app/TMainMenu.h"
#include "widgets/TBalloon.h"
#include "widgets/TMRUFileList.h"
#include "widgets/TTipDialog.h"

#include <QAction>

namespace {

// The key under which both lists keep their entries, each in a subkey of its own.
const char *const MRUStoreKey = "\\Software\\My Application";

QFont PixelFont(const QString &family, int pixelSize, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

TMRUFileList *CreateMRUFileList(QWidget &window, const TMainMenu &menu, const char *name,
                                const char *menuItem, const QString &submenuName,
                                const char *storeSubkey)
{
    auto *list = new TMRUFileList(&window);
    list->setObjectName(QString::fromLatin1(name));
    list->SetFileMenu(&menu.Item(QString::fromLatin1(menuItem)));
    list->SetUseSubmenu(true);
    list->SetSubmenuName(submenuName);
    list->SetInsertSeparator(false);
    list->SetClearItemName(QStringLiteral("&Clear MRU List"));
    list->SetRemoveObsoleteName(QStringLiteral("&Remove Obsolete"));
    list->SetUseRegistry(true);
    list->SetAutoSaveName(QString::fromLatin1(MRUStoreKey));
    list->SetAutoSaveKey(QString::fromLatin1(storeSubkey));
    list->Loaded();
    return list;
}

TBalloon *CreateBalloon(QWidget &window)
{
    auto *balloon = new TBalloon(&window);
    balloon->setObjectName(QStringLiteral("Balloon1"));
    balloon->SetColor(QColor(192, 192, 192));
    balloon->SetFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
    balloon->SetDivisionChar(QLatin1Char('@'));
    // The heading balloon goes when the mouse leaves its placeholder, which the window
    // watches; its tail touches the mouse, so the first move over it must not take it away.
    balloon->SetHideIfMouseMove(false);
    balloon->SetHideIfMouseClick(false);
    balloon->SetShape(TPShape::sRoundRect);
    balloon->SetTextAlign(TTextAlign::taCenter);
    balloon->SetAlign(TBalloonAlign::alRight);
    return balloon;
}

TTipDialog *CreateTipDialog(QWidget &window)
{
    auto *tips = new TTipDialog(&window);
    tips->setObjectName(QStringLiteral("TipDialog1"));
    tips->TipsLocation = TTipLocation::locEmbeded;
    tips->RandomTips = true;
    tips->Position = TTipShowPos::posScreenCenter;
    tips->TipTitleFont = PixelFont(QStringLiteral("Arial"), 16, true);
    tips->TipTitleColor = Qt::blue;
    tips->TipFont = PixelFont(QStringLiteral("MS Sans Serif"), 11);
    tips->Tips = TipsOfTheDay();
    return tips;
}

} // namespace

TAuxiliaryComponents CreateAuxiliaryComponents(QWidget &window, const TMainMenu &menu)
{
    TAuxiliaryComponents components;
    components.MRUFiles1 =
        CreateMRUFileList(window, menu, "MRUFiles1", "RecentInformationFiles",
                          QStringLiteral("Recent &Information Files"), "MRU Items");
    components.MRUFiles2 = CreateMRUFileList(window, menu, "MRUFiles2", "RecentTemplates",
                                             QStringLiteral("Recent Te&mplates"), "MRU Items2");
    components.Balloon1 = CreateBalloon(window);
    components.TipDialog1 = CreateTipDialog(window);
    return components;
}

QStringList TipsOfTheDay()
{
    return {
        QStringLiteral("The main pupose of this programme is for lawyers and others to produce "
                       "finished documents in a SIMPLE way. See the Document Assembly menu"),
        QStringLiteral("You can import documents from your favourite word processor by copying to "
                       "clipboard in your wp and pasting the clipboard into this programme."),
        QStringLiteral("To get a feel for the capabilities of this programme use the document "
                       "assembly menu to load and merge some of the samples provided."),
        QStringLiteral("If you have a form that requires exact placement of information do not "
                       "forget to enable this from the document assembly menu."),
        QStringLiteral("You can use the mouse and the ruler at the top of the page to adjust "
                       "margin settings for the document OR selected text"),
        QStringLiteral(
            "Using the \"OLE\" Button you can insert spreadsheet tables in your document ."),
        QStringLiteral("If you choose the option of inserting a \"hard page\" or forced page break "
                       "it is NOT VISIBLE in the main window but only in print preview.  Saving "
                       "the file with such invisible page breaks is NOT RECOMMENDED. This "
                       "pagebreak is not supported in Wordpad."),
        QStringLiteral("Helpful hints show in the yellow bar at the bottom of your screen when the "
                       "mouse is over some menu items."),
        QStringLiteral("To close a file, simply execute the edit/new or the edit/open command."),
        QStringLiteral("If you mistakenly do a global search and replace you can UNDO its effect "
                       "by repeatedly pressing alt-backspace. "),
        QStringLiteral("If you position the mouse over an \"@\" symbol in a template file and hold "
                       "the left button, the appropriate heading from the loaded information file "
                       "or a message that none is selected will be displayed. "),
        QStringLiteral(
            "If you insert a mathematical formula in one of the information fields in the .INF "
            "file it will be automatically calculated before insertion into the template. "),
    };
}
