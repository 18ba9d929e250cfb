#include "richedit/TRichEditOle.h"

#include "richedit/EOleError.h"
#include "richedit/TCustomRichEditEx.h"
#include "richedit/TInsertObjectDialog.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

TRichEditOle::TRichEditOle(TCustomRichEditEx &control)
    : EnumVerbs(&TRichEditOle::StandardVerbs),
      OpenUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); }), FControl(control)
{
}

TRichEditOle::~TRichEditOle()
{
    CloseAllObjects();
}

std::vector<TOleVerb> TRichEditOle::StandardVerbs(const TRichEditOleObject &object)
{
    std::vector<TOleVerb> verbs{{QStringLiteral("&Open"), 0}};
    if (object.Kind() == TRichEditOleObject::TKind::Linked)
        verbs.push_back({QStringLiteral("Open &Folder"), 1});
    return verbs;
}

void TRichEditOle::InsertObjectDialog()
{
    if (!DialogRunner)
        return;
    TInsertObjectDialog dialog(FControl.window(), DialogRunner);
    if (DialogRunner(dialog) != QDialog::Accepted)
        return;
    InsertObject(dialog.Request());
}

void TRichEditOle::InsertObject(const TInsertObjectRequest &request)
{
    TRichEditOleObject object;
    try {
        object =
            TRichEditOleObject::FromFile(request.FileName,
                                         request.Kind == TInsertObjectRequest::TKind::LinkedToFile
                                             ? TRichEditOleObject::TKind::Linked
                                             : TRichEditOleObject::TKind::Embedded,
                                         request.DisplayAsIcon);
    } catch (const EOleError &) {
        throw;
    } catch (const std::exception &error) {
        throw EOleError(error.what());
    }
    object.SetId(++FNextId);
    QTextCursor cursor(FControl.document());
    cursor.setPosition(FControl.SelectionStart());
    cursor.insertImage(object.ToFormat(*FControl.document()));
    FRemembered = object.Id();
    FreeVerbMenu();
    FVerbList.clear();
    FVerbListBuilt = false;
}

std::vector<int> TRichEditOle::ObjectPositions() const
{
    std::vector<int> positions;
    const QTextDocument *document = FControl.document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!TRichEditOleObject::IsObjectFormat(fragment.charFormat()))
                continue;
            for (int p = 0; p < fragment.length(); ++p)
                positions.push_back(fragment.position() + p);
        }
    return positions;
}

bool TRichEditOle::ObjectAt(int position, TRichEditOleObject &object) const
{
    if (position < 0 || position >= FControl.TextLength())
        return false;
    QTextCursor cursor(FControl.document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    if (cursor.selectedText() != QString(QChar::ObjectReplacementCharacter))
        return false;
    const QTextFormat format = cursor.charFormat();
    if (!TRichEditOleObject::IsObjectFormat(format))
        return false;
    object = TRichEditOleObject::FromFormat(format);
    return true;
}

int TRichEditOle::SelectedObjectPosition() const
{
    const QTextCursor selection = FControl.textCursor();
    if (selection.selectionEnd() - selection.selectionStart() != 1)
        return -1;
    TRichEditOleObject object;
    return ObjectAt(selection.selectionStart(), object) ? selection.selectionStart() : -1;
}

bool TRichEditOle::ObjectSelected() const
{
    return SelectedObjectPosition() >= 0;
}

int TRichEditOle::EnsureId(int position)
{
    TRichEditOleObject object;
    if (!ObjectAt(position, object))
        return 0;
    if (object.Id() != 0)
        return object.Id();
    // Objects that came in with loaded rich text get their identity on first use.
    const int id = ++FNextId;
    QTextCursor cursor(FControl.document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    QTextCharFormat format = cursor.charFormat();
    TRichEditOleObject::SetFormatId(format, id);
    FControl.BeginFormatChange();
    cursor.setCharFormat(format);
    FControl.EndFormatChange();
    return id;
}

bool TRichEditOle::RememberedObjectAt(TRichEditOleObject &object, int &position) const
{
    if (FRemembered == 0)
        return false;
    for (const int p : ObjectPositions()) {
        if (ObjectAt(p, object) && object.Id() == FRemembered) {
            position = p;
            return true;
        }
    }
    return false;
}

void TRichEditOle::FreeVerbMenu()
{
    delete FVerbMenu.data();
    FVerbMenu = nullptr;
}

void TRichEditOle::BuildVerbList(const TRichEditOleObject &object)
{
    FVerbList.clear();
    for (const TOleVerb &verb : EnumVerbs ? EnumVerbs(object) : std::vector<TOleVerb>{}) {
        if (verb.Number < 0 || !(verb.Attributes & TOleVerb::OLEVERBATTRIB_ONCONTAINERMENU))
            break;
        FVerbList.push_back(verb);
    }
    FVerbListBuilt = true;
}

TRichEditOle::TMenuAnswer TRichEditOle::ContextMenu()
{
    if (!FControl.AutoVerbMenu())
        return TMenuAnswer::PopupMenu;
    const int position = SelectedObjectPosition();
    if (position < 0) {
        FRemembered = 0;
        FreeVerbMenu();
        FVerbList.clear();
        FVerbListBuilt = false;
        return TMenuAnswer::PopupMenu;
    }
    const int id = EnsureId(position);
    if (id == FRemembered && FVerbListBuilt)
        return FVerbMenu ? TMenuAnswer::VerbMenu : TMenuAnswer::NoMenu;
    FRemembered = id;
    FreeVerbMenu();
    TRichEditOleObject object;
    ObjectAt(position, object);
    BuildVerbList(object);
    if (FVerbList.empty())
        return TMenuAnswer::NoMenu;
    auto *menu = new QMenu(&FControl);
    for (size_t i = 0; i < FVerbList.size(); ++i) {
        QAction *action = menu->addAction(FVerbList[i].Name);
        action->setData(static_cast<int>(i));
        if (FVerbList[i].Number == 0) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
            menu->setDefaultAction(action);
        }
        QObject::connect(action, &QAction::triggered, menu,
                         [this, index = static_cast<int>(i)] { DoVerb(index); });
    }
    FVerbMenu = menu;
    return TMenuAnswer::VerbMenu;
}

void TRichEditOle::DoVerb(int index)
{
    TRichEditOleObject object;
    int position = 0;
    if (!RememberedObjectAt(object, position))
        return;
    int verb = index;
    if (index > 0) {
        if (!FVerbListBuilt)
            BuildVerbList(object);
        if (index >= static_cast<int>(FVerbList.size()))
            throw EOleError("Invalid Verb");
        verb = FVerbList[static_cast<size_t>(index)].Number;
    } else if (index == VerbPrimaryAlias) {
        verb = OLEIVERB_PRIMARY;
    }
    RunVerb(object, verb);
}

void TRichEditOle::RunVerb(const TRichEditOleObject &object, int verb)
{
    QString target;
    if (verb == 1 && object.Kind() == TRichEditOleObject::TKind::Linked) {
        target = QFileInfo(object.FileName()).absolutePath();
    } else if (verb == OLEIVERB_PRIMARY || verb == OLEIVERB_OPEN || verb == -1) {
        if (object.Kind() == TRichEditOleObject::TKind::Linked) {
            target = object.FileName();
        } else {
            // An embedded object opens through a copy of its bytes, kept until it is closed.
            if (!FOpenCopies || !FOpenCopies->isValid())
                FOpenCopies = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                              QStringLiteral("/zarvel-XXXXXX"));
            if (!FOpenCopies->isValid())
                throw EOleError("Cannot create a temporary folder for the object.");
            QString name = QFileInfo(object.FileName()).fileName();
            if (name.isEmpty())
                name = QStringLiteral("object");
            target = FOpenCopies->filePath(QString::number(object.Id()) + QLatin1Char('-') + name);
            QFile copy(target);
            if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                copy.write(object.Data()) != object.Data().size())
                throw EOleError("Cannot write the object to \"" + target.toStdString() +
                                "\": " + copy.errorString().toStdString());
        }
    } else {
        throw EOleError("Invalid Verb");
    }
    if (std::find(FOpenObjects.begin(), FOpenObjects.end(), object.Id()) == FOpenObjects.end())
        FOpenObjects.push_back(object.Id());
    if (!OpenUrl || !OpenUrl(QUrl::fromLocalFile(target)))
        throw EOleError("No application opens \"" + target.toStdString() + "\".");
}

void TRichEditOle::Close(const TRichEditOleObject &object)
{
    ++FClosedCount;
    FOpenObjects.erase(std::remove(FOpenObjects.begin(), FOpenObjects.end(), object.Id()),
                       FOpenObjects.end());
    if (FOpenCopies && FOpenObjects.empty())
        FOpenCopies.reset(); // the copies go with their folder
}

void TRichEditOle::CloseAllObjects()
{
    FRemembered = 0;
    FreeVerbMenu();
    FVerbList.clear();
    FVerbListBuilt = false;
    for (const int position : ObjectPositions()) {
        TRichEditOleObject object;
        if (ObjectAt(position, object))
            Close(object);
    }
    FOpenObjects.clear();
    FOpenCopies.reset();
}

Qt::DropAction TRichEditOle::DropActionFor(Qt::KeyboardModifiers keys, Qt::DropActions allowed,
                                           Qt::DropAction proposed)
{
    unsigned keyState = 0;
    if (keys & Qt::ControlModifier)
        keyState |= MK_CONTROL;
    if (keys & Qt::ShiftModifier)
        keyState |= MK_SHIFT;
    unsigned effect = 0;
    if (allowed & Qt::CopyAction)
        effect |= DROPEFFECT_COPY;
    if (allowed & Qt::MoveAction)
        effect |= DROPEFFECT_MOVE;
    if (allowed & Qt::LinkAction)
        effect |= DROPEFFECT_LINK;
    switch (GetDragDropEffect(false, keyState, effect)) {
    case DROPEFFECT_COPY:
        return Qt::CopyAction;
    case DROPEFFECT_MOVE:
        return Qt::MoveAction;
    case DROPEFFECT_LINK:
        return Qt::LinkAction;
    default:
        // The source allows several effects but not the wanted one: keep Qt's choice.
        return proposed;
    }
}

unsigned TRichEditOle::GetDragDropEffect(bool drag, unsigned keyState, unsigned effect)
{
    if (drag)
        return effect;
    unsigned wanted = DROPEFFECT_MOVE;
    if ((keyState & MK_CONTROL) && (keyState & MK_SHIFT))
        wanted = DROPEFFECT_LINK;
    else if (keyState & MK_CONTROL)
        wanted = DROPEFFECT_COPY;
    return (effect & wanted) ? wanted : effect;
}
