// Embedded objects of the rich text control: insertion from files, linking and embedding,
// the icon display, the verb menu, verbs, closing and the drag-and-drop effects.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include "richedit/EOleError.h"
#include "richedit/TInsertObjectDialog.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditOle.h"
#include "richedit/TRichEditStringsEx.h"
#include "rtf/TRtfObjectIO.h"
#include "widgets/TDialogSeam.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QTextBlock>
#include <QtTest>

using TKind = TInsertObjectRequest::TKind;

namespace {

QString WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return QFileInfo(name).absoluteFilePath();
}

QString WritePicture(const QString &name, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.save(name, "PNG");
    return QFileInfo(name).absoluteFilePath();
}

TInsertObjectRequest Request(const QString &file, TKind kind = TKind::EmbeddedFromFile,
                             bool icon = false)
{
    TInsertObjectRequest request;
    request.FileName = file;
    request.Kind = kind;
    request.DisplayAsIcon = icon;
    return request;
}

// A control with objects, OpenUrl recording instead of launching applications.
struct Fixture
{
    Fixture()
    {
        edit.SetIncludeOLE(true);
        edit.Ole()->DialogRunner = &TDialogSeam::Exec;
        edit.Ole()->OpenUrl = [this](const QUrl &url) {
            opened << url.toLocalFile();
            return true;
        };
    }
    TRichEditOle &Ole() { return *edit.Ole(); }
    void SelectObject(int position) { edit.Select(position, position + 1); }

    TRichEditEx edit;
    QStringList opened;
};

} // namespace

class TestObjects : public QObject
{
    Q_OBJECT

private slots:
    void insertEmbedded();
    void insertAtSelectionStart();
    void linkFollowsFile();
    void missingFileInsertsNothing();
    void presentation_data();
    void presentation();
    void dialogInsertsAndCancelDoesNot();
    void dialogPlacement();
    void objectSelected();
    void verbMenuReusedForSameObject();
    void verbMenuOfLinkedObject();
    void noMenuWithoutContainerVerbs();
    void plainTextGetsPopupMenu();
    void doVerb_data();
    void doVerb();
    void doVerbEmbeddedOpensCopy();
    void doVerbWithoutObject();
    void hostileLinksOpenNothingUnasked();
    void hostileEmbeddedDataOpensOnlyAsAHarmlessCopy();
    void clearDocumentClosesAll();
    void dragDropEffect_data();
    void dragDropEffect();
    void dragOverControlTakesTheKeysAction_data();
    void dragOverControlTakesTheKeysAction();
    void richTextWritesObjectGroups();
    void readObjectsOfOtherWriters();
    void pictureObjectShowsTakesClicksAndItsEdits();
};

void TestObjects::insertEmbedded()
{
    Fixture f;
    const QByteArray bytes("col1;col2\r\n1;2\r\n\0binary\xff", 24);
    const QString file = WriteFile("table.csv", bytes);
    f.edit.SetWholeText("ab");
    f.Ole().InsertObject(Request(file));
    QCOMPARE(f.Ole().ObjectPositions(), std::vector<int>{0});
    TRichEditOleObject object;
    QVERIFY(f.Ole().ObjectAt(0, object));
    QCOMPARE(object.Kind(), TRichEditOleObject::TKind::Embedded);
    QCOMPARE(object.Data(), bytes);
    // An embedded object keeps the file's name, not where it was.
    QCOMPARE(object.FileName(), QStringLiteral("table.csv"));
    QCOMPARE(object.Id(), f.Ole().RememberedObject());
    // The bytes stay with the document when the file goes.
    QFile::remove(file);
    QVERIFY(f.Ole().ObjectAt(0, object));
    QCOMPARE(object.Content(), bytes);
}

void TestObjects::insertAtSelectionStart()
{
    Fixture f;
    const QString file = WriteFile("a.txt", "x");
    f.edit.SetWholeText("hello world");
    f.edit.Select(6, 11);
    f.Ole().InsertObject(Request(file));
    QCOMPARE(f.Ole().ObjectPositions(), std::vector<int>{6});
    QCOMPARE(f.edit.TextLength(), 12);
}

void TestObjects::linkFollowsFile()
{
    Fixture f;
    const QString file = WriteFile("linked.txt", "first");
    f.Ole().InsertObject(Request(file, TKind::LinkedToFile));
    TRichEditOleObject object;
    QVERIFY(f.Ole().ObjectAt(0, object));
    QCOMPARE(object.Kind(), TRichEditOleObject::TKind::Linked);
    QVERIFY(object.Data().isEmpty());
    WriteFile("linked.txt", "second");
    QCOMPARE(object.Content(), QByteArray("second"));
}

void TestObjects::missingFileInsertsNothing()
{
    Fixture f;
    f.edit.SetWholeText("text");
    QVERIFY_THROWS_EXCEPTION(EOleError, f.Ole().InsertObject(Request("none.bin")));
    QVERIFY_THROWS_EXCEPTION(EOleError,
                             f.Ole().InsertObject(Request("none.bin", TKind::LinkedToFile)));
    QCOMPARE(f.edit.WholeText(), std::string("text"));
    QVERIFY(f.Ole().ObjectPositions().empty());
}

void TestObjects::presentation_data()
{
    QTest::addColumn<bool>("picture");
    QTest::addColumn<bool>("icon");
    QTest::addColumn<bool>("shownAsPicture");
    QTest::newRow("picture") << true << false << true;
    QTest::newRow("picture as icon") << true << true << false;
    QTest::newRow("other file") << false << false << false;
}

void TestObjects::presentation()
{
    QFETCH(bool, picture);
    QFETCH(bool, icon);
    QFETCH(bool, shownAsPicture);
    Fixture f;
    const QSize size(123, 45);
    const QString file = picture ? WritePicture("pic.png", size) : WriteFile("doc.xyz", "data");
    f.Ole().InsertObject(Request(file, TKind::EmbeddedFromFile, icon));
    QTextCursor cursor(f.edit.document());
    cursor.setPosition(1);
    const QTextImageFormat format = cursor.charFormat().toImageFormat();
    const QImage shown = f.edit.document()
                             ->resource(QTextDocument::ImageResource, QUrl(format.name()))
                             .value<QImage>();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.size() == size, shownAsPicture);
    QCOMPARE(QSizeF(format.width(), format.height()), QSizeF(shown.size()));
    TRichEditOleObject object;
    QVERIFY(f.Ole().ObjectAt(0, object));
    QCOMPARE(object.DrawAspect(), icon ? 4 : 1);
}

void TestObjects::dialogInsertsAndCancelDoesNot()
{
    Fixture f;
    const QString file = WriteFile("dialog.txt", "content");
    ScriptedDialogs dialogs;
    dialogs.ThenReject();
    dialogs.Then([&](QDialog &dialog) {
        dialog.findChild<QLineEdit *>("File")->setText(file);
        dialog.findChild<QRadioButton *>("Link")->setChecked(true);
        dialog.findChild<QCheckBox *>("DisplayAsIcon")->setChecked(true);
        return int(QDialog::Accepted);
    });
    f.edit.InsertObjectDialog();
    QVERIFY(f.Ole().ObjectPositions().empty());
    f.edit.InsertObjectDialog();
    TRichEditOleObject object;
    QVERIFY(f.Ole().ObjectAt(0, object));
    QCOMPARE(object.Kind(), TRichEditOleObject::TKind::Linked);
    QVERIFY(object.DisplayAsIcon());
    QCOMPARE(dialogs.Unexpected(), 0);
    // Without IncludeOLE the command does nothing, and asks nothing.
    TRichEditEx plain;
    plain.InsertObjectDialog();
    QCOMPARE(dialogs.Unexpected(), 0);
}

void TestObjects::dialogPlacement()
{
    QCOMPARE(TInsertObjectDialog::Placement(QRect(0, 0, 1000, 800), QSize(300, 201)),
             QPoint(350, 199));
    QCOMPARE(TInsertObjectDialog::Placement(QRect(100, 50, 1001, 800), QSize(300, 200)),
             QPoint(450, 250));
}

void TestObjects::objectSelected()
{
    Fixture f;
    f.edit.SetWholeText("ab");
    f.edit.Select(1, 1);
    f.Ole().InsertObject(Request(WriteFile("o.txt", "o")));
    f.SelectObject(1);
    QVERIFY(f.edit.ObjectSelected());
    f.edit.Select(0, 2);
    QVERIFY(!f.edit.ObjectSelected());
    f.edit.Select(0, 1);
    QVERIFY(!f.edit.ObjectSelected());
    TRichEditEx plain;
    QVERIFY(!plain.ObjectSelected());
}

void TestObjects::verbMenuReusedForSameObject()
{
    Fixture f;
    f.Ole().InsertObject(Request(WriteFile("one.txt", "1")));
    f.Ole().InsertObject(Request(WriteFile("two.txt", "2")));
    f.SelectObject(0);
    QCOMPARE(f.Ole().ContextMenu(), TRichEditOle::TMenuAnswer::VerbMenu);
    QPointer<QMenu> menu = f.Ole().VerbMenu();
    QVERIFY(menu);
    QCOMPARE(f.Ole().ContextMenu(), TRichEditOle::TMenuAnswer::VerbMenu);
    QCOMPARE(f.Ole().VerbMenu(), menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().at(0)->text(), QString("&Open"));
    QCOMPARE(menu->defaultAction(), menu->actions().at(0));
    // Another object: another menu.
    f.SelectObject(1);
    QCOMPARE(f.Ole().ContextMenu(), TRichEditOle::TMenuAnswer::VerbMenu);
    QVERIFY(f.Ole().VerbMenu() != nullptr);
    QVERIFY(menu.isNull()); // the old menu is freed
}

void TestObjects::verbMenuOfLinkedObject()
{
    Fixture f;
    QDir().mkpath("sub");
    const QString file = WriteFile("sub/linked.txt", "x");
    f.Ole().InsertObject(Request(file, TKind::LinkedToFile));
    f.SelectObject(0);
    QCOMPARE(f.Ole().ContextMenu(), TRichEditOle::TMenuAnswer::VerbMenu);
    const QList<QAction *> actions = f.Ole().VerbMenu()->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions.at(1)->text(), QString("Open &Folder"));
    ScriptedDialogs dialogs;
    dialogs.ThenClick("open");
    dialogs.ThenClick("open");
    actions.at(1)->trigger();
    QCOMPARE(f.opened, QStringList{QFileInfo(file).absolutePath()});
    actions.at(0)->trigger();
    QCOMPARE(f.opened.last(), file);
}

void TestObjects::noMenuWithoutContainerVerbs()
{
    Fixture f;
    f.Ole().EnumVerbs = [](const TRichEditOleObject &) {
        return std::vector<TOleVerb>{{"&Edit", 0, 0}, {"&Open", 1}};
    };
    f.Ole().InsertObject(Request(WriteFile("n.txt", "n")));
    f.SelectObject(0);
    QCOMPARE(f.Ole().ContextMenu(), TRichEditOle::TMenuAnswer::NoMenu);
    QVERIFY(f.Ole().VerbMenu() == nullptr);
    // A negative verb number ends the list too; what came before it stays.
    f.Ole().EnumVerbs = [](const TRichEditOleObject &) {
        return std::vector<TOleVerb>{{"&Play", 0}, {"Hidden", -3}, {"&Open", 1}};
    };
    f.Ole().InsertObject(Request(WriteFile("m.txt", "m")));
    f.SelectObject(0);
    QCOMPARE(f.Ole().ContextMenu(), TRichEditOle::TMenuAnswer::VerbMenu);
    QCOMPARE(f.Ole().VerbList().size(), size_t(1));
}

void TestObjects::plainTextGetsPopupMenu()
{
    Fixture f;
    f.edit.SetWholeText("text ");
    f.edit.Select(5, 5);
    f.Ole().InsertObject(Request(WriteFile("p.txt", "p")));
    f.SelectObject(5);
    QCOMPARE(f.Ole().ContextMenu(), TRichEditOle::TMenuAnswer::VerbMenu);
    f.edit.Select(0, 4);
    QCOMPARE(f.Ole().ContextMenu(), TRichEditOle::TMenuAnswer::PopupMenu);
    QCOMPARE(f.Ole().RememberedObject(), 0);
    QVERIFY(f.Ole().VerbMenu() == nullptr);
    f.edit.SetAutoVerbMenu(false);
    f.SelectObject(5);
    QCOMPARE(f.Ole().ContextMenu(), TRichEditOle::TMenuAnswer::PopupMenu);
}

void TestObjects::doVerb_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("opened"); // "file", "folder" or "invalid"
    QTest::newRow("primary") << 0 << "file";
    QTest::newRow("index 1 is the second list entry") << 1 << "folder";
    QTest::newRow("past the list") << 2 << "invalid";
    QTest::newRow("primary alias") << -65536 << "file";
    QTest::newRow("open in own window") << -2 << "file";
}

void TestObjects::doVerb()
{
    QFETCH(int, index);
    QFETCH(QString, opened);
    Fixture f;
    QDir().mkpath("verbs");
    const QString file = WriteFile("verbs/v.txt", "v");
    f.Ole().InsertObject(Request(file, TKind::LinkedToFile));
    if (opened == "invalid") {
        try {
            f.edit.DoVerb(index);
            QFAIL("no error");
        } catch (const EOleError &error) {
            QCOMPARE(QString(error.what()), QString("Invalid Verb"));
        }
        QVERIFY(f.opened.isEmpty());
        return;
    }
    ScriptedDialogs dialogs;
    dialogs.ThenClick("open");
    f.edit.DoVerb(index);
    QCOMPARE(dialogs.Unexpected(), 0);
    QCOMPARE(f.opened, QStringList{opened == "file" ? file : QFileInfo(file).absolutePath()});
}

void TestObjects::doVerbEmbeddedOpensCopy()
{
    Fixture f;
    const QByteArray bytes("embedded bytes");
    f.Ole().InsertObject(Request(WriteFile("e.txt", bytes)));
    QFile::remove("e.txt");
    ScriptedDialogs dialogs;
    dialogs.ThenClick("open");
    f.edit.DoVerb(0);
    QCOMPARE(f.opened.size(), 1);
    QVERIFY(f.opened.at(0).endsWith(".txt"));
    QFile copy(f.opened.at(0));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), bytes);
    copy.close();
    // An embedded object has one verb only.
    QVERIFY_THROWS_EXCEPTION(EOleError, f.edit.DoVerb(1));
    // Closing takes the copy away.
    f.edit.ClearDocument();
    QVERIFY(!QFile::exists(f.opened.at(0)));
}

void TestObjects::doVerbWithoutObject()
{
    Fixture f;
    f.edit.DoVerb(0);
    f.edit.DoVerb(5);
    QVERIFY(f.opened.isEmpty());
}

namespace {
// Rich text with one object linked to a name the document chooses.
QByteArray LinkingTo(const QString &target)
{
    Fixture maker;
    const QString placeholder = WriteFile("placeholder.txt", "p");
    maker.Ole().InsertObject(Request(placeholder, TKind::LinkedToFile, true));
    QByteArray rtf = maker.edit.StreamOutBytes(TStreamFormat::SF_RTF);
    rtf.replace(placeholder.toUtf8(), target.toUtf8());
    return rtf;
}

QString WriteDocument(const QString &name, const QByteArray &rtf)
{
    QDir().mkpath(QFileInfo(name).path());
    return WriteFile(name, rtf);
}
} // namespace

void TestObjects::hostileLinksOpenNothingUnasked()
{
    // A link the document chose outside its folder: asked about by its full name and what
    // opens it; refused, nothing opens.
    {
        Fixture f;
        f.edit.Lines().LoadFile(WriteDocument("passwd/doc.rtf", LinkingTo("/etc/passwd")));
        ScriptedDialogs dialogs;
        dialogs.ThenClick("cancel");
        f.Ole().DoVerbAt(f.Ole().ObjectPositions().at(0), TRichEditOle::OLEIVERB_PRIMARY);
        QVERIFY(f.opened.isEmpty());
        QVERIFY(dialogs.LastSeen().contains("/etc/passwd"));
        QVERIFY(dialogs.LastSeen().contains("the desktop's application for"));
        QVERIFY(dialogs.LastSeen().contains("text/plain"));
    }
    // A relative link belongs to the document's folder, not the program's.
    {
        const QString near = WriteFile("t.txt", "the document's neighbour");
        QDir().mkpath("a/b/c");
        WriteFile("a/t.txt", "where the link leads from the program's folder");
        QDir::setCurrent("a/b/c");
        Fixture f;
        f.edit.Lines().LoadFile(WriteDocument("../../../a/b/doc.rtf", LinkingTo("../../t.txt")));
        ScriptedDialogs dialogs;
        dialogs.ThenClick("open");
        f.Ole().DoVerbAt(f.Ole().ObjectPositions().at(0), TRichEditOle::OLEIVERB_PRIMARY);
        QDir::setCurrent("../../..");
        QCOMPARE(f.opened, QStringList{near});
        QVERIFY(dialogs.LastSeen().contains(near));
        // Read from a stream, the document has no folder: a relative link opens nothing.
        Fixture unfiled;
        QCOMPARE(unfiled.edit.StreamInBytes(LinkingTo("t.txt"), TStreamFormat::SF_RTF), 0);
        QVERIFY_THROWS_EXCEPTION(EOleError, unfiled.Ole().DoVerbAt(0, 0));
        QVERIFY(unfiled.opened.isEmpty());
    }
    // Devices, folders, executables and launchers are refused before any question.
    QDir().mkpath("folder");
    const QString script = WriteFile("run.txt", "echo harmless looking\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    const QString launcher =
        WriteFile("notes.txt", "[Desktop Entry]\nType=Application\nExec=sh -c true\n");
    QFile::link(QFileInfo("folder").absoluteFilePath(), "folderlink.txt");
    for (const QString &target :
         {QString("/dev/zero"), QFileInfo("folder").absoluteFilePath(),
          QFileInfo("folderlink.txt").absoluteFilePath(), script, launcher}) {
        Fixture f;
        // Loading the link must not read the device either.
        f.edit.Lines().LoadFile(WriteDocument("hostile/doc.rtf", LinkingTo(target)));
        ScriptedDialogs dialogs;
        dialogs.ThenClick("open");
        try {
            f.Ole().DoVerbAt(f.Ole().ObjectPositions().at(0), TRichEditOle::OLEIVERB_PRIMARY);
            QFAIL(qPrintable("opened " + target));
        } catch (const EOleError &error) {
            QVERIFY2(QString(error.what()).contains(target), error.what());
        }
        QVERIFY(f.opened.isEmpty());
        QCOMPARE(dialogs.Pending(), 1);
    }
}

void TestObjects::hostileEmbeddedDataOpensOnlyAsAHarmlessCopy()
{
    // A launcher embedded under its own name is never written out nor opened, nor is one
    // that hides its type behind a harmless name.
    for (const auto &[name, bytes] : std::vector<std::pair<QString, QByteArray>>{
             {"evil.desktop", "[Desktop Entry]\nType=Application\nExec=sh -c true\n"},
             {"evil.txt", "[Desktop Entry]\nType=Application\nExec=sh -c true\n"},
             {"evil.sh", "#!/bin/sh\ntrue\n"}}) {
        Fixture f;
        f.Ole().InsertObject(Request(WriteFile(name, bytes)));
        ScriptedDialogs dialogs;
        dialogs.ThenClick("open");
        QVERIFY_THROWS_EXCEPTION(EOleError, f.edit.DoVerb(0));
        QVERIFY(f.opened.isEmpty());
        QVERIFY(f.Ole().CopyOf(f.Ole().RememberedObject()).isEmpty());
    }
    // Harmless data opens, after a question, from a copy named by the program in a folder
    // only this user enters, whatever name and folders the document gave it.
    Fixture f;
    QByteArray rtf;
    {
        Fixture maker;
        maker.Ole().InsertObject(Request(WriteFile("plain.txt", "just text")));
        rtf = maker.edit.StreamOutBytes(TStreamFormat::SF_RTF);
        rtf.replace("plain.txt", R"(..\\..\\..\\report.desktop)");
    }
    QCOMPARE(f.edit.StreamInBytes(rtf, TStreamFormat::SF_RTF), 0);
    ScriptedDialogs dialogs;
    dialogs.ThenClick("open");
    try {
        f.Ole().DoVerbAt(0, TRichEditOle::OLEIVERB_PRIMARY);
        QFAIL("a launcher's name opened");
    } catch (const EOleError &) {
    }
    rtf.replace("report.desktop", "report.txt");
    Fixture g;
    QCOMPARE(g.edit.StreamInBytes(rtf, TStreamFormat::SF_RTF), 0);
    g.Ole().DoVerbAt(0, TRichEditOle::OLEIVERB_PRIMARY);
    QCOMPARE(g.opened.size(), 1);
    const QFileInfo copy(g.opened.at(0));
    QCOMPARE(copy.fileName(), QString("object-%1.txt").arg(g.Ole().RememberedObject()));
    QVERIFY2(dialogs.LastSeen().contains("report.txt"), qPrintable(dialogs.LastSeen()));
    QVERIFY(dialogs.LastSeen().contains(QDir::toNativeSeparators(copy.filePath())));
    QCOMPARE(int(QFile::permissions(copy.path()) & 0x7077), 0x7000);
    QVERIFY(!(copy.permissions() & (QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                    QFileDevice::ExeOther | QFileDevice::ReadOther)));
    QFile data(copy.filePath());
    QVERIFY(data.open(QIODevice::ReadOnly));
    QCOMPARE(data.readAll(), QByteArray("just text"));
}

void TestObjects::clearDocumentClosesAll()
{
    Fixture f;
    for (const char *name : {"c1.txt", "c2.txt", "c3.txt"})
        f.Ole().InsertObject(Request(WriteFile(name, name)));
    f.SelectObject(1);
    f.Ole().ContextMenu();
    QCOMPARE(f.Ole().ClosedCount(), 0);
    f.edit.ClearDocument();
    QCOMPARE(f.Ole().ClosedCount(), 3);
    QCOMPARE(f.Ole().RememberedObject(), 0);
    QVERIFY(f.Ole().VerbMenu() == nullptr);
    QCOMPARE(f.edit.TextLength(), 0);
    QVERIFY(!f.edit.ModifiedFlag());
}

void TestObjects::dragDropEffect_data()
{
    QTest::addColumn<bool>("drag");
    QTest::addColumn<unsigned>("keys");
    QTest::addColumn<unsigned>("allowed");
    QTest::addColumn<unsigned>("effect");
    const unsigned all = 7;
    QTest::newRow("own drag unchanged") << true << 8u << all << all;
    QTest::newRow("ctrl copies") << false << 8u << all << 1u;
    QTest::newRow("ctrl shift links") << false << 12u << all << 4u;
    QTest::newRow("no keys moves") << false << 0u << all << 2u;
    QTest::newRow("shift alone moves") << false << 4u << all << 2u;
    QTest::newRow("ctrl without copy allowed") << false << 8u << 6u << 6u;
    QTest::newRow("link not allowed") << false << 12u << 3u << 3u;
    QTest::newRow("move not allowed") << false << 0u << 1u << 1u;
}

void TestObjects::dragDropEffect()
{
    QFETCH(bool, drag);
    QFETCH(unsigned, keys);
    QFETCH(unsigned, allowed);
    QTEST(TRichEditOle::GetDragDropEffect(drag, keys, allowed), "effect");
}

void TestObjects::dragOverControlTakesTheKeysAction_data()
{
    QTest::addColumn<int>("keys");
    QTest::addColumn<int>("allowed");
    QTest::addColumn<int>("action");
    const int all = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QTest::newRow("no keys moves") << int(Qt::NoModifier) << all << int(Qt::MoveAction);
    QTest::newRow("ctrl copies") << int(Qt::ControlModifier) << all << int(Qt::CopyAction);
    QTest::newRow("ctrl shift links")
        << int(Qt::ControlModifier | Qt::ShiftModifier) << all << int(Qt::LinkAction);
    QTest::newRow("copy only") << int(Qt::NoModifier) << int(Qt::CopyAction) << int(Qt::CopyAction);
}

void TestObjects::dragOverControlTakesTheKeysAction()
{
    QFETCH(int, keys);
    QFETCH(int, allowed);
    Fixture f;
    f.edit.resize(300, 200);
    f.edit.SetWholeText("some text to drop into");
    QMimeData data;
    data.setText(QStringLiteral("dropped"));
    QDragEnterEvent enter(QPoint(20, 10), Qt::DropActions(allowed), &data, Qt::LeftButton,
                          Qt::KeyboardModifiers(keys));
    QCoreApplication::sendEvent(f.edit.viewport(), &enter);
    QDragMoveEvent event(QPoint(20, 10), Qt::DropActions(allowed), &data, Qt::LeftButton,
                         Qt::KeyboardModifiers(keys));
    QCoreApplication::sendEvent(f.edit.viewport(), &event);
    QVERIFY(event.isAccepted());
    QTEST(int(event.dropAction()), "action");
}

void TestObjects::richTextWritesObjectGroups()
{
    Fixture f;
    QByteArray bytes;
    for (int i = 0; i < 300; ++i)
        bytes += char(i);
    f.edit.SetWholeText("before  after");
    f.edit.Select(7, 7);
    f.Ole().InsertObject(Request(WriteFile(QString::fromUtf8("d\u00e9j\u00e0 {x}.bin"), bytes)));
    f.edit.Select(0, 0);
    const QString linked = WritePicture("shown.png", QSize(20, 10));
    f.Ole().InsertObject(Request(linked, TKind::LinkedToFile, true));
    const QByteArray rtf = f.edit.StreamOutBytes(TStreamFormat::SF_RTF);
    QVERIFY(rtf.contains("{\\object\\objlink"));
    QVERIFY(rtf.contains("{\\object\\objemb"));
    const std::vector<TRtfObjectIO::TReadObject> objects = TRtfObjectIO::ReadObjects(rtf);
    QCOMPARE(objects.size(), size_t(2));
    QCOMPARE(objects[0].Object.Kind(), TRichEditOleObject::TKind::Linked);
    QVERIFY(objects[0].Object.DisplayAsIcon());
    QCOMPARE(objects[0].Object.FileName(), linked);
    QCOMPARE(objects[0].Object.ClassName(), QString("image/png"));
    QCOMPARE(objects[0].PictureIndex, 0);
    QCOMPARE(objects[1].Object.Kind(), TRichEditOleObject::TKind::Embedded);
    QCOMPARE(objects[1].Object.Data(), bytes);
    QCOMPARE(objects[1].Object.FileName(), QString::fromUtf8("d\u00e9j\u00e0 {x}.bin"));
    QCOMPARE(objects[1].PictureIndex, 1);
    // Read back, the pictures are the objects again, with their bytes.
    Fixture other;
    QCOMPARE(other.edit.StreamInBytes(rtf, TStreamFormat::SF_RTF), 0);
    QCOMPARE(other.edit.WholeText(), f.edit.WholeText());
    QCOMPARE(other.Ole().ObjectPositions(), f.Ole().ObjectPositions());
    TRichEditOleObject object;
    QVERIFY(other.Ole().ObjectAt(f.Ole().ObjectPositions().back(), object));
    QCOMPARE(object.Data(), bytes);
    QCOMPARE(object.Kind(), TRichEditOleObject::TKind::Embedded);
    // ... and survive another save and load.
    const QByteArray again = other.edit.StreamOutBytes(TStreamFormat::SF_RTF);
    QCOMPARE(TRtfObjectIO::ReadObjects(again).size(), size_t(2));
    QCOMPARE(TRtfObjectIO::ReadObjects(again)[1].Object.Data(), bytes);
}

void TestObjects::readObjectsOfOtherWriters()
{
    const QByteArray rtf =
        "{\\rtf1{\\pict\\pngblip 00}text{\\object\\objemb{\\*\\objclass Excel.Sheet.8}"
        "{\\*\\objdata 0105\r\n0000}{\\result{\\pict\\pngblip 00}}}"
        "{\\object\\objlink{\\*\\objdata 41}}{\\nonshppict{\\pict 00}}{\\pict 00}}";
    const std::vector<TRtfObjectIO::TReadObject> objects = TRtfObjectIO::ReadObjects(rtf);
    QCOMPARE(objects.size(), size_t(2));
    QCOMPARE(objects[0].Object.ClassName(), QString("Excel.Sheet.8"));
    QCOMPARE(objects[0].Object.Data(), QByteArray::fromHex("01050000"));
    QCOMPARE(objects[0].PictureIndex, 1);
    QCOMPARE(objects[1].Object.Kind(), TRichEditOleObject::TKind::Linked);
    QCOMPARE(objects[1].PictureIndex, -1);
    // Unbalanced input ends without harm.
    QCOMPARE(TRtfObjectIO::ReadObjects("{\\rtf1{\\object{\\*\\objdata 4").size(), size_t(1));
    QVERIFY(TRtfObjectIO::ReadObjects("}}}{\\object").size() <= 1);
}

namespace {
// Where the pixels of a colour lie in the control's viewport.
QRect AreaOf(TRichEditEx &edit, QColor colour)
{
    const QImage shot = edit.viewport()->grab().toImage();
    QRect area;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == colour)
                area |= QRect(x, y, 1, 1);
    return area;
}
} // namespace

void TestObjects::pictureObjectShowsTakesClicksAndItsEdits()
{
    Fixture f;
    f.edit.resize(500, 400);
    f.edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.edit));
    f.edit.SetWholeText("A line of text before the picture, ");
    f.edit.SetSelectionStart(f.edit.TextLength());
    // A picture larger than a page comes in at a size that fits one, in view.
    f.Ole().InsertObject(Request(WritePicture("photo.png", QSize(1600, 1200))));
    const int position = f.Ole().ObjectPositions().at(0);
    QTRY_VERIFY(AreaOf(f.edit, Qt::red).width() > 100);
    const QRect shown = AreaOf(f.edit, Qt::red);

    // One click selects it, a double click opens it.
    QTest::mouseClick(f.edit.viewport(), Qt::LeftButton, {}, shown.center());
    QVERIFY(f.edit.ObjectSelected());
    QCOMPARE(f.edit.SelectionStart(), position);
    ScriptedDialogs dialogs;
    dialogs.ThenClick("open");
    QTest::mouseDClick(f.edit.viewport(), Qt::LeftButton, {}, shown.center());
    QCOMPARE(f.opened.size(), 1);
    const QString copy = f.opened.at(0);
    f.edit.SetModifiedFlag(false);

    // What the other application saves into the copy comes back, also when it saves by
    // writing a new file and renaming it over the copy.
    const auto dataOfObject = [&] {
        TRichEditOleObject object;
        return f.Ole().ObjectAt(position, object) ? object.Data() : QByteArray();
    };
    const auto dataOfCopy = [&] {
        QFile file(copy);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QImage edited(1600, 1200, QImage::Format_RGB32);
    edited.fill(Qt::blue);
    QVERIFY(edited.save(copy, "PNG"));
    QTRY_COMPARE(dataOfObject(), dataOfCopy());
    QVERIFY(f.edit.ModifiedFlag());
    edited.fill(Qt::green);
    QVERIFY(edited.save(copy + ".new", "PNG"));
    QVERIFY(QFile::remove(copy) && QFile::rename(copy + ".new", copy));
    QTRY_COMPARE(dataOfObject(), dataOfCopy());
    f.edit.SetSelectionStart(f.edit.TextLength());
    QTRY_VERIFY(AreaOf(f.edit, Qt::green).width() > 100);
    // Saved, the object names its file without a folder.
    const QByteArray rtf = f.edit.StreamOutBytes(TStreamFormat::SF_RTF);
    QVERIFY(rtf.contains("{\\*\\objname photo.png}"));
}

ZARVEL_TEST_MAIN(TestObjects)
#include "tst_objects.moc"
