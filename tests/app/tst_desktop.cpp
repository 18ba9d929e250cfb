// The program as the desktop starts it: files named on the command line, the folders the file
// dialogs start in, and working files when the current folder is read-only.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/CommandLine.h"
#include "app/StartupFiles.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "app/TSpeedBar.h"
#include "print/TRichPreviewForm.h"
#include "print/TRichPrinter.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "widgets/SettingsStore.h"
#include "widgets/TMRUFileList.h"
#include "widgets/TOpenPreviewDialog.h"
#include "widgets/WorkingFolder.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QToolButton>

#include <memory>

#include <sys/stat.h>

namespace {
QString Sample(const QString &name)
{
    return QStringLiteral(ZARVEL_SOURCE_DIR "/samples/") + name;
}

QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QString FirstLine(const TRichEditEx &pane)
{
    return QString::fromLatin1(pane.WholeText()).section(QLatin1Char('\r'), 0, 0);
}

// Makes a folder the current one, readable but without any write permission (which even the
// superuser's program must respect), for the life of the object.
class TReadOnlyCurrentFolder
{
public:
    TReadOnlyCurrentFolder() : FOld(QDir::currentPath())
    {
        QFile::setPermissions(FDir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                               QFile::ExeGroup | QFile::ReadOther |
                                               QFile::ExeOther);
        QDir::setCurrent(FDir.path());
    }
    ~TReadOnlyCurrentFolder()
    {
        QDir::setCurrent(FOld);
        QFile::setPermissions(FDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Path() const { return FDir.path(); }

private:
    QTemporaryDir FDir;
    QString FOld;
};
// Makes a folder the current one for the life of the object.
class TCurrentFolder
{
public:
    explicit TCurrentFolder(const QString &path) : FOld(QDir::currentPath())
    {
        QDir::setCurrent(path);
    }
    ~TCurrentFolder() { QDir::setCurrent(FOld); }

private:
    QString FOld;
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;

    QStringList Mru(const TMRUFileList *list) const { return list->Items(); }

    // Opens the sample letter and its information file as the shell does and runs Do It.
    void MergeSampleLetter()
    {
        ScriptedDialogs dialogs;
        OpenStartupFiles(*form, {Sample("letter-smith.inf"), Sample("letter.tem")});
        dialogs.ThenAccept(); // the count of replacements
        form->MainMenu().Item(QStringLiteral("DoIt1")).trigger();
        QCOMPARE(dialogs.Pending(), 0);
        QCOMPARE(dialogs.Unexpected(), 0);
        QVERIFY(QString::fromLatin1(form->RichEditEx1->WholeText())
                    .contains(QStringLiteral("Mrs Eleanor Smith")));
    }

private slots:
    void init()
    {
        SettingsStore::Open(TRegRoot::CURRENT_USER)->clear();
        form = std::make_unique<TMainForm>();
        form->show();
    }
    void cleanup() { form.reset(); }

    void commandLineFilesOpenAsTheMenusDo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("information");
        QTest::addColumn<QString>("templ");
        QTest::addColumn<bool>("documentShown");
        QTest::addColumn<QString>("caption");

        const QString inf = Sample("letter-smith.inf");
        const QString tem = Sample("letter.tem");
        QTest::newRow("information, then template")
            << QStringList{inf, tem} << inf << tem << true << "untitled - Zarvel";
        QTest::newRow("template, then information")
            << QStringList{tem, inf} << inf << tem << false << "letter-smith.inf - Zarvel";
        QTest::newRow("the last of a kind wins")
            << QStringList{Sample("quote.inf"), tem, "--", inf} << inf << tem << false
            << "letter-smith.inf - Zarvel";
        QTest::newRow("template alone")
            << QStringList{tem} << QString() << tem << true << "untitled - Zarvel";
    }

    void commandLineFilesOpenAsTheMenusDo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, information);
        QFETCH(QString, templ);
        QFETCH(bool, documentShown);
        QFETCH(QString, caption);

        const CommandLine commandLine(arguments);
        QCOMPARE(commandLine.Action(), CommandLine::TAction::Run);
        ScriptedDialogs dialogs;
        OpenStartupFiles(*form, commandLine.Files());
        QCOMPARE(dialogs.Unexpected(), 0);

        QCOMPARE(form->windowTitle(), caption);
        QCOMPARE(form->TemplateFileName, templ);
        QCOMPARE(FirstLine(*form->RichEditEx1), QStringLiteral("Hartley & Cook"));
        QVERIFY(!form->RichEditEx1->ModifiedFlag());
        QCOMPARE(Mru(form->MRUFiles2), QStringList{templ});
        QCOMPARE(form->InformationFileName, information);
        QCOMPARE(Mru(form->MRUFiles1),
                 information.isEmpty() ? QStringList() : QStringList{information});
        if (!information.isEmpty())
            QCOMPARE(FirstLine(*form->RichEditEx2), QStringLiteral("Client name and title"));
        QCOMPARE(form->RichEditEx1->isVisible(), documentShown);
        QCOMPARE(form->RichEditEx2->isVisible(), !documentShown);
    }

    void documentsOpenByRelativeNames()
    {
        const QString current = QDir::currentPath();
        QVERIFY(QFile::copy(Sample("quote.tem"), QStringLiteral("quote.rtf")));
        ScriptedDialogs dialogs;
        OpenStartupFiles(*form, CommandLine({QStringLiteral("quote.rtf")}).Files());
        QCOMPARE(dialogs.Unexpected(), 0);
        // Opened as File > Open opens it: named after the file, no template chosen.
        QCOMPARE(form->DocumentName(), QDir(current).filePath(QStringLiteral("quote.rtf")));
        QCOMPARE(form->windowTitle(), QStringLiteral("quote.rtf - Zarvel"));
        QVERIFY(form->TemplateFileName.isEmpty());
        QVERIFY(Mru(form->MRUFiles2).isEmpty());
        QVERIFY(form->RichEditEx1->TextLength() > 0);
        QFile::remove(QStringLiteral("quote.rtf"));
    }

    void missingFileIsNamedAndTheOthersStillOpen()
    {
        const QString missing = QDir::current().filePath(QStringLiteral("no such letter.tem"));
        ScriptedDialogs dialogs;
        dialogs.ThenAccept();
        OpenStartupFiles(*form, {missing, Sample("letter-jones.inf")});
        QCOMPARE(dialogs.Pending(), 0);
        QCOMPARE(dialogs.Unexpected(), 0);
        QVERIFY2(dialogs.LastSeen().contains(missing), qPrintable(dialogs.LastSeen()));
        QVERIFY(dialogs.LastSeen().contains(QStringLiteral("no such file")));
        QVERIFY(form->TemplateFileName.isEmpty());
        QVERIFY(Mru(form->MRUFiles2).isEmpty());
        QCOMPARE(form->InformationFileName, Sample("letter-jones.inf"));
        QCOMPARE(form->windowTitle(), QStringLiteral("letter-jones.inf - Zarvel"));
    }

    void unknownOptionsAndHelp_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("help wins") << QStringList{"--bogus", "a.tem", "--help"}
                                   << int(CommandLine::TAction::Help) << QStringList{"a.tem"};
        QTest::newRow("version") << QStringList{"--version"} << int(CommandLine::TAction::Version)
                                 << QStringList();
        QTest::newRow("unknown option") << QStringList{"-x", "a.tem"}
                                        << int(CommandLine::TAction::Error) << QStringList{"a.tem"};
        QTest::newRow("names after --")
            << QStringList{"--", "-x.tem", "--help"} << int(CommandLine::TAction::Run)
            << QStringList{"-x.tem", "--help"};
    }

    void unknownOptionsAndHelp()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QStringList, files);
        const CommandLine commandLine(arguments);
        QCOMPARE(int(commandLine.Action()), action);
        QCOMPARE(commandLine.Files(), files);
    }

    void dialogsStartInTheDocumentsFolderThenTheLastUsed()
    {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY(QDir().mkpath(documents));
        form = std::make_unique<TMainForm>();
        QCOMPARE(QDir(form->SaveDialog->directory()).canonicalPath(),
                 QDir(documents).canonicalPath());
        QCOMPARE(QDir(form->OpenPreviewDialog1->directory()).canonicalPath(),
                 QDir(documents).canonicalPath());

        // A file chosen elsewhere: the next run of the program starts there.
        QTemporaryDir elsewhere;
        const QString chosen = elsewhere.filePath(QStringLiteral("letter.tem"));
        QVERIFY(QFile::copy(Sample("letter.tem"), chosen));
        {
            ScriptedDialogs dialogs;
            dialogs.ThenChooseFile(chosen);
            form->MainMenu().Item(QStringLiteral("EditTemplateFile1")).trigger();
            QCOMPARE(dialogs.Pending(), 0);
            QCOMPARE(form->TemplateFileName, chosen);
        }
        form = std::make_unique<TMainForm>();
        const QString expected = QDir(elsewhere.path()).canonicalPath();
        QCOMPARE(QDir(form->SaveDialog->directory()).canonicalPath(), expected);
        QCOMPARE(QDir(form->OpenPreviewDialog1->directory()).canonicalPath(), expected);
    }

    void workingFilesGoToTheUserFolderWhenTheCurrentOneIsReadOnly()
    {
        const TReadOnlyCurrentFolder readOnly;
        const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        QDir(userFolder).removeRecursively();
        MergeSampleLetter();
        QCOMPARE(FilesIn(userFolder), QStringList{"debug.rtf"});

        form->RichPrinter1->SetShowProgress(false);
        form->SpeedBar->PrintPreviewbutton->click();
        TRichPreviewForm *preview = form->RichPrinter1->PreviewForm();
        QVERIFY(preview);
        QVERIFY(preview->PageCount() >= 2);
        QVERIFY(FilesIn(userFolder)
                    .contains(TRichPreviewForm::PageFileName(0, preview->Compressed())
                                  .section(QLatin1Char('/'), -1)));

        // The line-ending display writes no working file; at the end only debug.rtf stays.
        {
            ScriptedDialogs dialogs;
            dialogs.ThenAccept();
            form->SpeedBar->CRLFButton->click();
        }
        WorkingFolder::RemoveLeftovers();
        QCOMPARE(FilesIn(userFolder), QStringList{"debug.rtf"});
        QVERIFY(FilesIn(readOnly.Path()).isEmpty());
        preview->close();
    }

    // Another user plants "$$$" and "debug.rtf" in a shared folder (mode 1777, as /tmp) as links
    // to the user's own files: a merge started there must not write through them, and leaves the
    // client's letter in the user's own folder. In a folder of the user's own a link of that
    // name is replaced by the working file, never written through.
    void workingFilesNeverGoThroughPlantedLinks()
    {
        const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        QDir(userFolder).removeRecursively();
        QTemporaryDir victim;
        const QString profile = victim.filePath(QStringLiteral("profile"));
        const QString notes = victim.filePath(QStringLiteral("notes.txt"));
        const auto plant = [&](const QString &folder) {
            for (const QString &file : {profile, notes}) {
                QFile out(file);
                QVERIFY(out.open(QIODevice::WriteOnly));
                out.write("the user's own words\n");
            }
            QVERIFY(QFile::link(profile, QDir(folder).filePath(QStringLiteral("$$$"))));
            QVERIFY(QFile::link(notes, QDir(folder).filePath(QStringLiteral("debug.rtf"))));
        };

        QTemporaryDir shared;
        QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 01777) == 0);
        plant(shared.path());
        {
            const TCurrentFolder current(shared.path());
            MergeSampleLetter();
        }
        QCOMPARE(ReadAll(profile), QByteArray("the user's own words\n"));
        QCOMPARE(ReadAll(notes), QByteArray("the user's own words\n"));
        QVERIFY(FilesIn(userFolder).contains(QStringLiteral("debug.rtf")));
        QVERIFY(ReadAll(QDir(userFolder).filePath(QStringLiteral("debug.rtf")))
                    .contains("Mrs Eleanor Smith"));

        QTemporaryDir own;
        plant(own.path());
        form = std::make_unique<TMainForm>(); // nothing to save from the first merge
        {
            const TCurrentFolder current(own.path());
            MergeSampleLetter();
        }
        QCOMPARE(ReadAll(profile), QByteArray("the user's own words\n"));
        QCOMPARE(ReadAll(notes), QByteArray("the user's own words\n"));
        const QFileInfo debug(own.filePath(QStringLiteral("debug.rtf")));
        QVERIFY(!debug.isSymLink());
        QVERIFY(ReadAll(debug.filePath()).contains("Mrs Eleanor Smith"));
    }
};

ZARVEL_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
