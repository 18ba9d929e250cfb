#include "richedit/TRichEditOle.h"

#include "richedit/EOleError.h"
#include "richedit/TInsertObjectDialog.h"
#include "richedit/TRichEditHost.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace {

// Types the desktop runs instead of showing: programs, scripts and launchers.
bool IsRunnable(const QMimeType &type)
{
    static const char *const runnable[] = {"application/x-executable",
                                           "application/x-sharedlib",
                                           "application/x-pie-executable",
                                           "application/x-desktop",
                                           "application/x-shellscript",
                                           "application/x-ms-dos-executable",
                                           "application/x-msdownload",
                                           "application/vnd.microsoft.portable-executable",
                                           "application/x-msi",
                                           "application/x-ms-shortcut",
                                           "application/x-java-archive",
                                           "application/vnd.appimage",
                                           "application/x-perl",
                                           "text/x-python",
                                           "text/x-python3",
                                           "application/x-ruby",
                                           "application/x-flatpak",
                                           "application/vnd.flatpak.ref",
                                           "application/x-executable-script",
                                           "application/x-bat"};
    for (const char *name : runnable)
        if (type.name() == QLatin1String(name) || type.inherits(QLatin1String(name)))
            return true;
    return false;
}

// The extension a copy of embedded data gets: that of its type when the type only shows
// something, none otherwise.
QString HarmlessSuffix(const QMimeType &type)
{
    if (IsRunnable(type))
        return {};
    static const char *const shown[] = {
        "image/png",
        "image/jpeg",
        "image/gif",
        "image/bmp",
        "image/tiff",
        "image/webp",
        "application/pdf",
        "application/rtf",
        "text/rtf",
        "application/msword",
        "application/vnd.oasis.opendocument.text",
        "application/vnd.oasis.opendocument.spreadsheet",
        "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
        "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
        "audio/mpeg",
        "audio/x-wav",
        "video/mp4"};
    for (const char *name : shown)
        if (type.name() == QLatin1String(name))
            return type.preferredSuffix();
    if (type.inherits(QStringLiteral("text/plain")))
        return QStringLiteral("txt");
    return {};
}

std::string Quoted(const QString &path)
{
    return '"' + QDir::toNativeSeparators(path).toStdString() + '"';
}

// Why a target may not be handed to the desktop (empty when it may): a folder verb needs a
// folder; any other needs a regular file that is neither executable nor of a runnable type,
// judged by its content as well as its name. Links count by what they lead to.
QString RefusalOf(const QString &path, bool folder, QMimeType &type)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (folder)
        return S_ISDIR(status.st_mode) ? QString() : QStringLiteral("it is not a folder");
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("it is a folder");
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("it is a device or another special file");
    if (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH))
        return QStringLiteral("it is executable");
    const QMimeDatabase types;
    type = types.mimeTypeForFile(path, QMimeDatabase::MatchContent);
    const QMimeType named = types.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    for (const QMimeType &judged : {type, named})
        if (IsRunnable(judged))
            return QStringLiteral("it is a program or launcher (%1)").arg(judged.name());
    return {};
}

} // namespace

TRichEditOle::TRichEditOle(TRichEditHost &control)
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
    TInsertObjectDialog dialog(FControl.Editor().window(), DialogRunner);
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
    QTextCursor cursor(FControl.Editor().document());
    cursor.setPosition(FControl.SelectionStart());
    cursor.insertImage(object.ToFormat(*FControl.Editor().document()));
    FRemembered = object.Id();
    FreeVerbMenu();
    FVerbList.clear();
    FVerbListBuilt = false;
    // The caret goes after the object, and the object into view.
    cursor.clearSelection();
    FControl.Editor().setTextCursor(cursor);
    FControl.Editor().ensureCursorVisible();
}

int TRichEditOle::ObjectAtPoint(const QPoint &point) const
{
    const QPointF at(point.x() + FControl.Editor().horizontalScrollBar()->value(),
                     point.y() + FControl.Editor().verticalScrollBar()->value());
    const QTextDocument *document = FControl.Editor().document();
    const int near = document->documentLayout()->hitTest(at, Qt::FuzzyHit);
    // The nearest caret position lies before or after the object under the point.
    for (const int position : {near, near - 1}) {
        TRichEditOleObject object;
        if (!ObjectAt(position, object))
            continue;
        const QTextBlock block = document->findBlock(position);
        const QTextLayout *layout = block.layout();
        const int inBlock = position - block.position();
        const QTextLine line = layout ? layout->lineForTextPosition(inBlock) : QTextLine();
        if (!line.isValid())
            continue;
        QTextCursor cursor(block);
        cursor.setPosition(position + 1);
        const QTextImageFormat image = cursor.charFormat().toImageFormat();
        // The picture stands on the line's baseline.
        const QPointF origin =
            layout->position() + QPointF(line.cursorToX(inBlock), line.y() + line.ascent());
        const QRectF bounds(origin.x(), origin.y() - image.height(), image.width(), image.height());
        if (bounds.contains(at))
            return position;
    }
    return -1;
}

std::vector<int> TRichEditOle::ObjectPositions() const
{
    std::vector<int> positions;
    const QTextDocument *document = FControl.Editor().document();
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
    QTextCursor cursor(FControl.Editor().document());
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
    const QTextCursor selection = FControl.Editor().textCursor();
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
    QTextCursor cursor(FControl.Editor().document());
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
    auto *menu = new QMenu(&FControl.Editor());
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

void TRichEditOle::DoVerbAt(int position, int index)
{
    const int id = EnsureId(position);
    if (id == 0)
        return;
    if (id != FRemembered) {
        FRemembered = id;
        FreeVerbMenu();
        FVerbList.clear();
        FVerbListBuilt = false;
    }
    DoVerb(index);
}

void TRichEditOle::RunVerb(const TRichEditOleObject &object, int verb)
{
    const bool linked = object.Kind() == TRichEditOleObject::TKind::Linked;
    const bool folder = verb == 1 && linked;
    if (!folder && verb != OLEIVERB_PRIMARY && verb != OLEIVERB_OPEN && verb != -1)
        throw EOleError("Invalid Verb");
    QString target;
    if (linked)
        target = folder ? QFileInfo(LinkTarget(object)).absolutePath() : LinkTarget(object);
    else
        target = WriteCopy(object);
    QMimeType type;
    const QString refusal = RefusalOf(target, folder, type);
    if (!refusal.isEmpty())
        throw EOleError("Cannot open " + Quoted(target) + ": " + refusal.toStdString() + '.');
    const QString opener = folder ? QStringLiteral("the desktop's file manager")
                                  : QStringLiteral("the desktop's application for %1 (%2)")
                                        .arg(type.comment(), type.name());
    if (!UserAgrees(linked ? target
                           : QStringLiteral("the embedded \"%1\", copied to %2")
                                 .arg(object.FileName(), QDir::toNativeSeparators(target)),
                    opener))
        return;
    if (std::find(FOpenObjects.begin(), FOpenObjects.end(), object.Id()) == FOpenObjects.end())
        FOpenObjects.push_back(object.Id());
    if (!OpenUrl || !OpenUrl(QUrl::fromLocalFile(target)))
        throw EOleError("No application opens " + Quoted(target) + '.');
}

QString TRichEditOle::LinkTarget(const TRichEditOleObject &object) const
{
    const QString &name = object.FileName();
    if (QDir::isAbsolutePath(name))
        return QDir::cleanPath(name);
    // A relative link belongs to the document, never to the program's current folder.
    if (DocumentFolder.isEmpty())
        throw EOleError("Cannot open the linked file " + Quoted(name) +
                        ": its name is relative and the document has no folder.");
    return QDir::cleanPath(QDir(DocumentFolder).absoluteFilePath(name));
}

bool TRichEditOle::UserAgrees(const QString &target, const QString &opener) const
{
    if (!DialogRunner)
        return false;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Open object"),
                    QStringLiteral("Open %1 with %2?").arg(target, opener),
                    QMessageBox::Open | QMessageBox::Cancel, FControl.Editor().window());
    box.button(QMessageBox::Open)->setObjectName(QStringLiteral("open"));
    box.button(QMessageBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    box.setDefaultButton(QMessageBox::Cancel);
    return DialogRunner(box) == QMessageBox::Open;
}

QString TRichEditOle::WriteCopy(const TRichEditOleObject &object)
{
    // The type comes from the bytes and the name the document gives them: either one of a
    // program or launcher keeps the data from being written out at all.
    const QMimeDatabase types;
    const QMimeType byContent = types.mimeTypeForData(object.Data());
    const QMimeType byName =
        types.mimeTypeForFile(object.FileName(), QMimeDatabase::MatchExtension);
    for (const QMimeType &type : {byContent, byName})
        if (IsRunnable(type))
            throw EOleError("Cannot open the embedded \"" + object.FileName().toStdString() +
                            "\": it is a program or launcher (" + type.name().toStdString() + ").");
    // The copy is kept in a folder only this user can enter, until it is closed.
    if (!FOpenCopies || !FOpenCopies->isValid())
        FOpenCopies =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zarvel-XXXXXX"));
    if (!FOpenCopies->isValid() ||
        !QFile::setPermissions(FOpenCopies->path(), QFileDevice::ReadOwner |
                                                        QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner))
        throw EOleError("Cannot create a private folder for the object.");
    // Its name is the program's; its extension only one that shows the content.
    const QString suffix = HarmlessSuffix(byContent);
    const QString target =
        FOpenCopies->filePath(QStringLiteral("object-%1").arg(object.Id()) +
                              (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
    QFile copy(target);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !copy.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        copy.write(object.Data()) != object.Data().size())
        throw EOleError("Cannot write the object to " + Quoted(target) + ": " +
                        copy.errorString().toStdString());
    copy.close();
    WatchCopy(target, object.Id());
    return target;
}

void TRichEditOle::WatchCopy(const QString &path, int id)
{
    if (!FWatcher) {
        FWatcher = std::make_unique<QFileSystemWatcher>();
        FQuiet = std::make_unique<QTimer>();
        FQuiet->setSingleShot(true);
        FQuiet->setInterval(300);
        QObject::connect(FQuiet.get(), &QTimer::timeout, FWatcher.get(),
                         [this] { TakeBackCopies(); });
        QObject::connect(FWatcher.get(), &QFileSystemWatcher::fileChanged, FWatcher.get(),
                         [this](const QString &file) { CopyChanged(file); });
        // An application that saves into a new file and renames it over the copy replaces
        // the file watched: the folder tells.
        QObject::connect(FWatcher.get(), &QFileSystemWatcher::directoryChanged, FWatcher.get(),
                         [this](const QString &) {
                             for (const auto &copy : FCopies)
                                 if (!FWatcher->files().contains(copy.first) &&
                                     QFileInfo::exists(copy.first))
                                     CopyChanged(copy.first);
                         });
    }
    FCopies[path] = id;
    FChanged.erase(path);
    if (!FWatcher->files().contains(path))
        FWatcher->addPath(path);
    const QString folder = QFileInfo(path).absolutePath();
    if (!FWatcher->directories().contains(folder))
        FWatcher->addPath(folder);
}

QString TRichEditOle::CopyOf(int id) const
{
    for (const auto &copy : FCopies)
        if (copy.second == id)
            return copy.first;
    return {};
}

void TRichEditOle::CopyChanged(const QString &path)
{
    if (FCopies.find(path) == FCopies.end())
        return;
    if (QFileInfo::exists(path) && !FWatcher->files().contains(path))
        FWatcher->addPath(path);
    FChanged.insert(path);
    FQuiet->start();
}

void TRichEditOle::TakeBackCopies()
{
    const std::set<QString> changed = std::move(FChanged);
    FChanged.clear();
    for (const QString &path : changed) {
        const auto copy = FCopies.find(path);
        QFile file(path);
        if (copy == FCopies.end() || !file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray data = file.readAll();
        // An empty file is a save still in progress (or a failed one): the object keeps its own.
        if (!data.isEmpty())
            ReplaceData(copy->second, data);
    }
}

bool TRichEditOle::ReplaceData(int id, const QByteArray &data)
{
    for (const int position : ObjectPositions()) {
        TRichEditOleObject object;
        if (!ObjectAt(position, object) || object.Id() != id)
            continue;
        if (object.Data() == data)
            return false;
        object.SetData(data);
        QTextCursor cursor(FControl.Editor().document());
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(object.ToFormat(*FControl.Editor().document()));
        return true;
    }
    return false;
}

void TRichEditOle::Close(const TRichEditOleObject &object)
{
    ++FClosedCount;
    FOpenObjects.erase(std::remove(FOpenObjects.begin(), FOpenObjects.end(), object.Id()),
                       FOpenObjects.end());
    if (FOpenCopies && FOpenObjects.empty())
        DropCopies();
}

void TRichEditOle::DropCopies()
{
    FWatcher.reset();
    FQuiet.reset();
    FCopies.clear();
    FChanged.clear();
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
    DropCopies();
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
