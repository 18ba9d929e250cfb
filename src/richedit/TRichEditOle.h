#pragma once

#include "richedit/TInsertObjectRequest.h"
#include "rtf/TRichEditOleObject.h"

#include <QMenu>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

class QDialog;
class QFileSystemWatcher;
class QPoint;
class QTimer;
class TRichEditHost;

// One verb of an embedded object: its menu name ("&" marks the access key) and number.
struct TOleVerb
{
    static constexpr unsigned OLEVERBATTRIB_ONCONTAINERMENU = 2;

    QString Name;
    int Number = 0;
    unsigned Attributes = OLEVERBATTRIB_ONCONTAINERMENU;
};

// The embedded objects of a control whose IncludeOLE is set: insertion, the verb menu of a
// selected object, running verbs, closing, and the drag-and-drop effect rule.
class TRichEditOle
{
public:
    static constexpr int OLEIVERB_PRIMARY = 0;
    static constexpr int OLEIVERB_OPEN = -2;
    static constexpr int VerbPrimaryAlias = -65536; // 0xFFFF0000 also names the primary verb
    static constexpr unsigned MK_SHIFT = 4;
    static constexpr unsigned MK_CONTROL = 8;
    static constexpr unsigned DROPEFFECT_COPY = 1;
    static constexpr unsigned DROPEFFECT_MOVE = 2;
    static constexpr unsigned DROPEFFECT_LINK = 4;

    // What the context menu request gets.
    enum class TMenuAnswer { PopupMenu, NoMenu, VerbMenu };

    explicit TRichEditOle(TRichEditHost &control);
    ~TRichEditOle();
    TRichEditOle(const TRichEditOle &) = delete;
    TRichEditOle &operator=(const TRichEditOle &) = delete;

    // The insert-object dialog and, on OK, the insertion; nothing on Cancel.
    void InsertObjectDialog();
    // Inserts the object at the selection start; it becomes the remembered object. Throws
    // EOleError when the file cannot be used.
    void InsertObject(const TInsertObjectRequest &request);
    // True when the selection is exactly one object.
    bool ObjectSelected() const;
    // Position of the selected object, or -1.
    int SelectedObjectPosition() const;
    // The object at a position; false when there is none.
    bool ObjectAt(int position, TRichEditOleObject &object) const;
    // Positions of all objects in the document, in order.
    std::vector<int> ObjectPositions() const;
    // Position of the object drawn under a point of the control's viewport, or -1.
    int ObjectAtPoint(const QPoint &point) const;

    // The context menu request: the verb menu of the selected object (built once per object),
    // no menu for an object without container-menu verbs, else the control's own menu.
    TMenuAnswer ContextMenu();
    QMenu *VerbMenu() const { return FVerbMenu; }
    const std::vector<TOleVerb> &VerbList() const { return FVerbList; }
    // Id of the remembered object (0: none).
    int RememberedObject() const { return FRemembered; }

    // Runs a verb of the remembered object: index > 0 is an index into the verb list
    // ("Invalid Verb" past its end); -65536 is verb 0; any other index is the verb itself.
    void DoVerb(int index);
    // Remembers the object at a position and runs a verb of it, as DoVerb.
    void DoVerbAt(int position, int index);

    // Closes every object without saving and forgets the remembered one.
    void CloseAllObjects();
    // Number of objects closed so far (each close of an object counts once).
    int ClosedCount() const { return FClosedCount; }

    // The effect of a drag over or a drop on the control (drag false), or of a drag the control
    // started (drag true, effect unchanged).
    static unsigned GetDragDropEffect(bool drag, unsigned keyState, unsigned effect);
    // The same rule for a Qt drag over or drop on the control: the keys held and the actions
    // the source allows give the action to take.
    static Qt::DropAction DropActionFor(Qt::KeyboardModifiers keys, Qt::DropActions allowed,
                                        Qt::DropAction proposed);

    // The verbs an object offers, in order: "&Open" (0) and, for a linked file, "Open &Folder".
    std::function<std::vector<TOleVerb>(const TRichEditOleObject &)> EnumVerbs;
    // Runs a modal dialog and answers its result: TDialogSeam::Exec, handed in by the window
    // that owns the control (this library does not link the dialog seam). Unset, the
    // insert-object dialog is not shown.
    std::function<int(QDialog &)> DialogRunner;
    // Opens a file or folder with the desktop's application. It is called only after the
    // user has agreed through DialogRunner, and never for a device, an executable or a
    // desktop launcher; without DialogRunner nothing is opened.
    std::function<bool(const QUrl &)> OpenUrl;
    // Folder of the document the objects came with: a relative link is resolved against it,
    // and with none a relative link is not opened.
    QString DocumentFolder;

    // An embedded object opens through a copy of its bytes; what the other application saves
    // there comes back into the document (after a moment's quiet, so that a save in progress
    // is not read half written). Copies are dropped when the objects are closed.
    QString CopyOf(int id) const;
    // Takes the saved copies back now instead of after the quiet moment.
    void TakeBackCopies();

private:
    static std::vector<TOleVerb> StandardVerbs(const TRichEditOleObject &object);
    void BuildVerbList(const TRichEditOleObject &object);
    void FreeVerbMenu();
    bool RememberedObjectAt(TRichEditOleObject &object, int &position) const;
    int EnsureId(int position);
    void RunVerb(const TRichEditOleObject &object, int verb);
    QString LinkTarget(const TRichEditOleObject &object) const;
    // Asks whether to open a target, naming it and what opens it; false when refused.
    bool UserAgrees(const QString &target, const QString &opener) const;
    QString WriteCopy(const TRichEditOleObject &object);
    void WatchCopy(const QString &path, int id);
    void CopyChanged(const QString &path);
    // Gives the object of an id new bytes (and the presentation they make); false when there
    // is no such object or the bytes are its own already.
    bool ReplaceData(int id, const QByteArray &data);
    void Close(const TRichEditOleObject &object);
    void DropCopies();

    TRichEditHost &FControl;
    int FRemembered = 0;
    int FNextId = 0;
    std::vector<TOleVerb> FVerbList;
    bool FVerbListBuilt = false;
    QPointer<QMenu> FVerbMenu;
    std::unique_ptr<QTemporaryDir> FOpenCopies;
    std::unique_ptr<QFileSystemWatcher> FWatcher;
    std::unique_ptr<QTimer> FQuiet;
    std::map<QString, int> FCopies; // copy path -> object id
    std::set<QString> FChanged;     // copies changed since they were last taken back
    std::vector<int> FOpenObjects;
    int FClosedCount = 0;
};
