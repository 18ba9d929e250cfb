#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/SaveFileKinds.h"
#include "app/TBackgroundSave.h"
#include "app/TFileCommands.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "widgets/TOpenPreviewDialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QProgressDialog>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <memory>

#include <sys/stat.h>

namespace {
QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString &name, const QByteArray &data)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// The names a file dialog lists in a folder, once they include the expected ones or after
// three seconds: the dialog reads folders on a thread of its own.
QStringList Listed(QFileDialog &dialog, const QString &folder, const QStringList &expected)
{
    dialog.setDirectory(folder);
    auto *model = dialog.findChild<QFileSystemModel *>();
    QStringList names;
    for (int wait = 0; model && wait < 300; ++wait) {
        const QModelIndex index = model->index(folder);
        if (model->canFetchMore(index))
            model->fetchMore(index);
        names.clear();
        for (int row = 0; row < model->rowCount(index); ++row)
            names << model->index(row, 0, index).data().toString();
        if (std::all_of(expected.begin(), expected.end(),
                        [&names](const QString &name) { return names.contains(name); }))
            break;
        QTest::qWait(10);
    }
    return names;
}

// Counts the paint events of a widget.
class TPaintCounter : public QObject
{
public:
    explicit TPaintCounter(QWidget &widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
    int Paints = 0;
};

ino_t Inode(const QString &name)
{
    struct stat status = {};
    return stat(QFile::encodeName(name).constData(), &status) == 0 ? status.st_ino : 0;
}
} // namespace

// New, Open, Save and Save As through the File menu with scripted dialogs.
class TestFileCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<QTemporaryDir> dir;

    QString File(const QString &name) const { return dir->filePath(name); }
    void Trigger(const char *item) { form->MainMenu().Item(QString::fromLatin1(item)).trigger(); }
    TRichEditEx &Document() const { return *form->RichEditEx1; }
    void Type(const char *text)
    {
        Document().SetSelectedText(text);
        QVERIFY(Document().ModifiedFlag());
    }
    QString Caption(const QString &name) const { return name + QStringLiteral(" - Zarvel"); }
    // Loads formatted paragraphs of at least twice the size that is saved on a worker.
    void LoadLargeDocument()
    {
        QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
        for (int i = 0; rtf.size() < 2 * TBackgroundSave::KMinimumCharacters; ++i)
            rtf += "Paragraph " + QByteArray::number(i) +
                   " with {\\b bold} and {\\i italic} words, \\'e9t\\'e9.\\par\r\n";
        rtf += "}";
        const QString source = File(QStringLiteral("large-source.rtf"));
        QVERIFY(WriteFile(source, rtf));
        Document().Lines().LoadFile(source);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        form = std::make_unique<TMainForm>();
        form->show();
    }
    void cleanup()
    {
        form.reset();
        dir.reset();
    }

    void extensionKinds_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        const int rich = int(TSaveKind::RichText), text = int(TSaveKind::PlainText),
                  html = int(TSaveKind::Html), unknown = int(TSaveKind::Unknown);
        QTest::newRow(".rtf") << "/a/letter.rtf" << rich;
        QTest::newRow(".TEM") << "/a/letter.TEM" << rich;
        QTest::newRow(".inf") << "/a/case.inf" << rich;
        QTest::newRow(".rt") << "/a/letter.rt" << rich;
        QTest::newRow(".te") << "/a/letter.te" << rich;
        QTest::newRow(".i") << "/a/letter.i" << rich;
        QTest::newRow("lone dot") << "/a/letter." << rich;
        QTest::newRow(".txt") << "/a/notes.txt" << text;
        QTest::newRow(".tx") << "/a/notes.tx" << text;
        QTest::newRow(".htm") << "/a/page.htm" << html;
        QTest::newRow(".html") << "/a/page.HTML" << html;
        QTest::newRow(".ht") << "/a/page.ht" << html;
        QTest::newRow(".doc") << "/a/letter.doc" << unknown;
        QTest::newRow("none") << "/a/letter" << unknown;
        QTest::newRow("dot in the folder only") << "/a.rtf/letter" << unknown;
        QTest::newRow("last dot counts") << "/a/letter.rtf.doc" << unknown;
        QTest::newRow(".rtft") << "/a/letter.rtft" << unknown;
    }

    void extensionKinds()
    {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(int(SaveKindOf(path)), kind);
    }

    void saveAfterStartUpAsksForAName()
    {
        Type("Dear Sir");
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("untitled")));
        QString asked;
        ScriptedDialogs script;
        script.Then([&asked](QDialog &dialog) {
            asked = dialog.objectName();
            return int(QDialog::Rejected);
        });
        Trigger("FileSaveItem");
        QCOMPARE(asked, QStringLiteral("SaveDialog"));
        QVERIFY(Document().ModifiedFlag());
        QCOMPARE(form->DocumentName(), QStringLiteral("untitled"));
    }

    void saveWritesAnyNameAndAdoptsIt()
    {
        Type("Dear Sir");
        const QString target = File(QStringLiteral("letter.doc"));
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        Trigger("FileSaveItem");
        QVERIFY(ReadFile(target).startsWith("{\\rtf"));
        QVERIFY(!Document().ModifiedFlag());
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("letter.doc")));
        QCOMPARE(form->DocumentName(), target);
    }

    void saveAfterNewRunsSaveAs()
    {
        ScriptedDialogs script;
        Trigger("FileNewItem");
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("Untitled")));
        Type("text");
        const QString target = File(QStringLiteral("new.rtf"));
        script.ThenChooseFile(target);
        Trigger("FileSaveItem");
        QVERIFY(QFile::exists(target));
        QCOMPARE(form->DocumentName(), target);
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("new.rtf")));
    }

    void fileDialogShowsWhatChangedWhileItWasClosed()
    {
        Type("Dear Sir");
        ScriptedDialogs script;
        QStringList first;
        script.Then([&](QDialog &dialog) {
            first = Listed(static_cast<QFileDialog &>(dialog), dir->path(), {});
            static_cast<QFileDialog &>(dialog).selectFile(File(QStringLiteral("letter.rtf")));
            return int(QDialog::Accepted);
        });
        Trigger("FileSaveAsItem");
        QVERIFY(QFile::exists(File(QStringLiteral("letter.rtf"))));
        QVERIFY(WriteFile(File(QStringLiteral("later.rtf")), "{\\rtf1 later}"));
        QTest::qWait(200);
        const QStringList expected{QStringLiteral("letter.rtf"), QStringLiteral("later.rtf")};
        QStringList second;
        script.Then([&](QDialog &dialog) {
            second = Listed(static_cast<QFileDialog &>(dialog), dir->path(), expected);
            return int(QDialog::Rejected);
        });
        Trigger("FileSaveAsItem");
        QVERIFY2(!first.contains(QStringLiteral("later.rtf")), qPrintable(first.join(u',')));
        for (const QString &name : expected)
            QVERIFY2(second.contains(name), qPrintable(second.join(u',')));
    }

    void saveAsRichText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow(".rtf") << "letter.rtf";
        QTest::newRow(".TEM") << "form.TEM";
        QTest::newRow(".in") << "case.in";
        QTest::newRow("lone dot") << "odd.";
    }

    void saveAsRichText()
    {
        QFETCH(QString, name);
        Type("Dear Sir");
        const QString target = File(name);
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        Trigger("FileSaveAsItem");
        const QByteArray written = ReadFile(target);
        QVERIFY2(written.startsWith("{\\rtf"), written.constData());
        QVERIFY(written.contains("Dear Sir"));
        QCOMPARE(form->DocumentName(), target);
        QCOMPARE(form->windowTitle(), Caption(name));
        QVERIFY(!Document().ModifiedFlag());
        QCOMPARE(script.Unexpected(), 0);
    }

    void saveAsHtml_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("title"); // the page's own name, in the page's code page
        QTest::newRow(".html") << "page.html" << QByteArray("page.html");
        QTest::newRow(".HTM") << "page.HTM" << QByteArray("page.HTM");
        QTest::newRow("umlaut") << QStringLiteral("M\u00e4rz.htm") << QByteArray("M\xe4rz.htm");
    }

    void saveAsHtml()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, title);
        Type("Dear Sir");
        const QString target = File(name);
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        Trigger("FileSaveAsItem");
        const QByteArray written = ReadFile(target);
        QVERIFY2(written.toLower().contains("<html"), written.constData());
        QVERIFY(written.contains("Dear Sir"));
        QVERIFY(!written.startsWith("{\\rtf"));
        QVERIFY2(written.contains("\r\n<TITLE>" + title + "</TITLE>\r\n"), written.constData());
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
        // The page written is what the window now names.
        QCOMPARE(form->windowTitle(), Caption(name));
        QCOMPARE(form->DocumentName(), target);
        QVERIFY(!Document().ModifiedFlag());
    }

    // A table saved as HTML is a table there, and the text after it follows it.
    void saveAsHtmlKeepsTables()
    {
        QCOMPARE(
            Document().StreamInBytes(
                "{\\rtf1 Top\\par\\trowd\\cellx2000\\cellx4000\\pard\\intbl a1\\cell b1\\cell\\row"
                "\\trowd\\cellx2000\\cellx4000\\pard\\intbl a2\\cell b2\\cell\\row\\pard End\\par}",
                TStreamFormat::SF_RTF),
            0);
        const QString target = File(QStringLiteral("table.html"));
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        Trigger("FileSaveAsItem");
        QString written = QString::fromLatin1(ReadFile(target));
        written.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
        const int table = written.indexOf(QStringLiteral("<TABLE"));
        QVERIFY2(table > written.indexOf(QStringLiteral("Top")), qPrintable(written));
        QVERIFY2(written.contains(QStringLiteral("<TR><TD>a1</TD><TD>b1</TD></TR>")),
                 qPrintable(written));
        QVERIFY(written.contains(QStringLiteral("<TR><TD>a2</TD><TD>b2</TD></TR></TABLE>")));
        QVERIFY(written.indexOf(QStringLiteral("End")) >
                written.indexOf(QStringLiteral("</TABLE>")));
    }

    void saveAsUnknownExtensionWritesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow(".doc") << "letter.doc";
        QTest::newRow("none") << "letter";
    }

    void saveAsUnknownExtensionWritesNothing()
    {
        QFETCH(QString, name);
        Type("Dear Sir");
        const QString target = File(name);
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        script.ThenAccept(); // the message that nothing was saved
        Trigger("FileSaveAsItem");
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY2(script.LastSeen().contains(QStringLiteral("Nothing was saved")),
                 qPrintable(script.LastSeen()));
        QVERIFY(script.LastSeen().contains(QStringLiteral(".RTF")));
        QVERIFY(script.LastSeen().contains(QStringLiteral(".HTML")));
        QVERIFY(!QFile::exists(target));
        QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
        QVERIFY(Document().ModifiedFlag());
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("untitled")));
    }

    void overwriteQuestion_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("Yes") << "Yes" << true;
        QTest::newRow("No") << "No" << false;
        QTest::newRow("Cancel") << "Cancel" << false;
    }

    void overwriteQuestion()
    {
        QFETCH(QString, answer);
        QFETCH(bool, written);
        const QString target = File(QStringLiteral("old.rtf"));
        QVERIFY(WriteFile(target, "OLD"));
        Type("New text");
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        script.ThenClick(answer);
        Trigger("FileSaveAsItem");
        QVERIFY2(script.LastSeen().contains(QStringLiteral("OK to overwrite ") + target),
                 qPrintable(script.LastSeen()));
        QCOMPARE(ReadFile(target) != "OLD", written);
        QCOMPARE(Document().ModifiedFlag(), !written);
        QCOMPARE(form->DocumentName() == target, written);
    }

    void plainTextFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC\r\nline two\r\n");
        QTest::newRow("UTF-8 with byte order mark")
            << QByteArray("\xEF\xBB\xBF"
                          "caf\xC3\xA9 \xE2\x82\xAC\r\nline two\r\n");
        QTest::newRow("code page 1252") << QByteArray("caf\xE9 \x80\r\nline two\r\n");
    }

    void plainTextFiles()
    {
        QFETCH(QByteArray, bytes);
        const QString text = QStringLiteral("caf\u00E9 \u20AC\rline two\r");
        QVERIFY(WriteFile(File(QStringLiteral("source.txt")), bytes));
        ScriptedDialogs script;
        script.ThenChooseFile(File(QStringLiteral("source.txt")));
        Trigger("FileOpenItem");
        QCOMPARE(Document().WideTextRange(0, -1), text);

        // A text name gets text, in code page 1252 when every character fits...
        script.ThenChooseFile(File(QStringLiteral("copy.txt")));
        Trigger("FileSaveAsItem");
        QCOMPARE(ReadFile(File(QStringLiteral("copy.txt"))),
                 QByteArray("caf\xE9 \x80\r\nline two\r\n"));

        // ... otherwise in UTF-8; either way it loads again as it was.
        const QString wider = QStringLiteral("\u0151 ") + text;
        Document().ReplaceRange(0, 0, QStringLiteral("\u0151 "), true);
        script.ThenChooseFile(File(QStringLiteral("case.inf")));
        Trigger("FileSaveAsItem");
        QCOMPARE(ReadFile(File(QStringLiteral("case.inf"))),
                 "\xEF\xBB\xBF" +
                     QString(wider).replace(QStringLiteral("\r"), QStringLiteral("\r\n")).toUtf8());
        Document().ClearDocument();
        script.ThenChooseFile(File(QStringLiteral("case.inf")));
        Trigger("FileOpenItem");
        QCOMPARE(Document().WideTextRange(0, -1), wider);

        // An information file written as rich text before still loads as such.
        QVERIFY(WriteFile(File(QStringLiteral("old.inf")), "{\\rtf1\\ansi Name\\par Smith\\par }"));
        script.ThenChooseFile(File(QStringLiteral("old.inf")));
        Trigger("FileOpenItem");
        QVERIFY(Document().WideTextRange(0, -1).startsWith(QStringLiteral("Name\rSmith")));
        QCOMPARE(script.Unexpected(), 0);
    }

    void openWhileTheInformationPaneIsShown()
    {
        const QString source = File(QStringLiteral("doc.rtf"));
        QVERIFY(WriteFile(source, "{\\rtf1\\ansi Opened text\\par }"));
        form->RichEditEx2->SetWholeText("heading\rvalue");
        Trigger("T1");
        QVERIFY(form->RichEditEx1->isHidden());
        ScriptedDialogs script;
        script.ThenChooseFile(source);
        Trigger("FileOpenItem");
        QVERIFY(Document().WideTextRange(0, -1).startsWith(QStringLiteral("Opened text")));
        QVERIFY(!form->RichEditEx1->isHidden());
        QVERIFY(form->RichEditEx2->isHidden());
        QCOMPARE(form->RichEditEx2->WholeText(), std::string("heading\rvalue"));
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("doc.rtf")));
        QVERIFY(!Document().ModifiedFlag());
    }

    void openPlainText()
    {
        const QString source = File(QStringLiteral("plain.txt"));
        QVERIFY(WriteFile(source, "line one\r\nline two\r\n"));
        ScriptedDialogs script;
        script.ThenChooseFile(source);
        Trigger("FileOpenItem");
        QVERIFY(Document().WholeText().find("line one\rline two") == 0);
    }

    void openReadOnlyLastsUntilTheNextOpen()
    {
        const QString source = File(QStringLiteral("doc.rtf"));
        QVERIFY(WriteFile(source, "{\\rtf1\\ansi Text\\par }"));
        const auto choose = [source](bool readOnly) {
            return [source, readOnly](QDialog &dialog) {
                auto &open = dynamic_cast<TOpenPreviewDialog &>(dialog);
                open.SetOpenReadOnly(readOnly);
                open.selectFile(source);
                dialog.setResult(QDialog::Accepted);
                return int(QDialog::Accepted);
            };
        };
        ScriptedDialogs script;
        script.Then(choose(true));
        Trigger("FileOpenItem");
        QVERIFY(Document().ReadOnly());
        script.Then(choose(false));
        Trigger("FileOpenItem");
        QVERIFY(!Document().ReadOnly());
        QCOMPARE(script.Unexpected(), 0);
    }

    void openCancelledChangesNothing()
    {
        Document().SetWholeText("kept");
        ScriptedDialogs script;
        script.ThenReject();
        Trigger("FileOpenItem");
        QCOMPARE(Document().WholeText(), std::string("kept"));
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("untitled")));
    }

    void readOnlyFileIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("large");
        QTest::newRow("rich text") << "locked.rtf" << false;
        QTest::newRow("HTML page") << "locked.html" << false;
        QTest::newRow("large rich text, saved on a worker") << "locked.rtf" << true;
    }

    void readOnlyFileIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(bool, large);
        if (large)
            LoadLargeDocument();
        const QString target = File(name);
        QVERIFY(WriteFile(target, "OLD"));
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QFile::Permissions permissions = QFile::permissions(target);
        Type("New text");
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        script.ThenClick(QStringLiteral("Yes"));
        script.ThenAccept(); // the error
        Trigger("FileSaveAsItem");
        QCOMPARE(script.Pending(), 0);
        QVERIFY2(script.LastSeen().contains(QStringLiteral("read-only")),
                 qPrintable(script.LastSeen()));
        QCOMPARE(ReadFile(target), QByteArray("OLD"));
        QCOMPARE(QFile::permissions(target), permissions);
        QVERIFY(Document().ModifiedFlag());
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("untitled")));
    }

    void fileInAFolderWithoutWriteAccessIsWrittenInPlace()
    {
        const QString folder = File(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString target = folder + QStringLiteral("/letter.rtf");
        QVERIFY(WriteFile(target, QByteArray(20000, 'x')));
        const ino_t inode = Inode(target);
        const QFile::Permissions open = QFile::permissions(folder);
        QVERIFY(QFile::setPermissions(folder, open & ~(QFile::WriteOwner | QFile::WriteUser |
                                                       QFile::WriteGroup | QFile::WriteOther)));
        Type("New text");
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        script.ThenClick(QStringLiteral("Yes"));
        Trigger("FileSaveAsItem");
        QFile::setPermissions(folder, open);
        QCOMPARE(script.Unexpected(), 0);
        const QByteArray written = ReadFile(target);
        QVERIFY(written.startsWith("{\\rtf") && written.contains("New text"));
        QVERIFY(!written.contains("xxxx"));
        // The file itself was written, not a new one put in its place.
        QCOMPARE(Inode(target), inode);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("letter.rtf")});
        QVERIFY(!Document().ModifiedFlag());
    }

    // A large document is made and written on a worker. Meanwhile the window paints, a progress
    // dialog shows and typing into the pane is refused; the file is the one the pane's own save
    // writes, and afterwards the pane takes typing again.
    void largeDocumentSavesWhileTheWindowPaints()
    {
        LoadLargeDocument();
        Type("Changed ");
        const QString expected = File(QStringLiteral("expected.rtf"));
        Document().Lines().SaveFile(expected);
        const QString text = Document().toPlainText();
        const TPaintCounter counter(*Document().viewport());

        std::atomic<bool> looked{false};
        bool dialogShown = false;
        bool painted = false;
        QString textDuringSave;
        // On the worker, before it writes: the window is looked at from its own thread.
        TBackgroundSave::SetWorkerHook([&] {
            QMetaObject::invokeMethod(
                form.get(),
                [&] {
                    const auto *progress = form->findChild<QProgressDialog *>();
                    dialogShown = progress && progress->isVisible();
                    QTest::keyClicks(&Document(), "xyz");
                    textDuringSave = Document().toPlainText();
                    const int before = counter.Paints;
                    Document().viewport()->update();
                    for (int wait = 0; wait < 6000 && counter.Paints == before; ++wait)
                        QTest::qWait(10);
                    painted = counter.Paints > before;
                    looked = true;
                },
                Qt::QueuedConnection);
            for (int wait = 0; wait < 60000 && !looked; ++wait)
                QThread::msleep(10); // ends a hang only
        });
        const QString target = File(QStringLiteral("large.rtf"));
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        Trigger("FileSaveAsItem");
        TBackgroundSave::SetWorkerHook({});

        QVERIFY(looked);
        QVERIFY(dialogShown);
        QVERIFY(painted);
        QCOMPARE(textDuringSave, text);
        QCOMPARE(ReadFile(target), ReadFile(expected));
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY(!Document().ModifiedFlag());
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("large.rtf")));
        const auto *progress = form->findChild<QProgressDialog *>();
        QVERIFY(!progress || !progress->isVisible());
        QTest::keyClicks(&Document(), "xyz");
        QVERIFY(Document().ModifiedFlag());
    }

    // The worker writes, for every sample and test file, the bytes the pane's own save writes:
    // tables, lists, pictures, objects, headers and footers included.
    void backgroundSaveWritesWhatThePaneWrites_data()
    {
        QTest::addColumn<QString>("source");
        for (const char *folder :
             {ZARVEL_SOURCE_DIR "/samples", ZARVEL_SOURCE_DIR "/tests/data/rtf"})
            for (const QFileInfo &file :
                 QDir(QString::fromUtf8(folder)).entryInfoList({"*.rtf", "*.tem"}, QDir::Files))
                QTest::newRow(qPrintable(file.fileName())) << file.filePath();
    }

    void backgroundSaveWritesWhatThePaneWrites()
    {
        QFETCH(QString, source);
        ScriptedDialogs script; // a hostile file may ask a question while it loads
        try {
            Document().Lines().LoadFile(source);
        } catch (const std::exception &) {
            QSKIP("the pane does not load this file");
        }
        const QString expected = File(QStringLiteral("expected.rtf"));
        Document().Lines().SaveFile(expected);
        const QString written = File(QStringLiteral("written.rtf"));
        TBackgroundSave::Save(Document(), written, form.get());
        QCOMPARE(ReadFile(written), ReadFile(expected));
    }

    void failedSaveKeepsTheOldFile()
    {
        // A folder in place of the temporary file's target cannot be replaced.
        const QString target = File(QStringLiteral("busy.rtf"));
        QVERIFY(QDir().mkpath(target + QStringLiteral("/inside")));
        Type("New text");
        ScriptedDialogs script;
        script.ThenChooseFile(target);
        script.ThenClick(QStringLiteral("Yes"));
        QVERIFY_THROWS_EXCEPTION(
            std::exception, form->FileCommands().SaveAs(TPane::Document, form->DocumentName()));
        QVERIFY(QFileInfo(target).isDir());
        QVERIFY(Document().ModifiedFlag());
        QCOMPARE(form->windowTitle(), Caption(QStringLiteral("untitled")));
    }
};

ZARVEL_TEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
