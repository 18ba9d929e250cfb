#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TAssemblyCommands.h"
#include "app/TCheckReportDialog.h"
#include "app/TDialogForm.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "assembly/AssemblyTexts.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "widgets/TMRUFileList.h"
#include "widgets/TMRUMenuItem.h"
#include "widgets/TOpenPreviewDialog.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

namespace {

bool WriteFile(const QString &name, const QByteArray &data)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray Lines(const QStringList &lines, const char *end = "\r\n")
{
    return lines.join(QString::fromLatin1(end)).toLatin1();
}

QByteArray Rtf(const QStringList &paragraphs)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 " +
           paragraphs.join(QStringLiteral("\\par\n")).toLatin1() + "\\par\n}";
}

// What a message box of the program was asked to show.
struct TBox
{
    bool Shown = false;
    QString Caption;
    QString Message;
    int Beep = -1;
};

ScriptedDialogs::Answer RecordBox(TBox &box)
{
    return [&box](QDialog &dialog) {
        box.Shown = true;
        if (auto *form = qobject_cast<TDialogForm *>(&dialog)) {
            box.Caption = form->Caption();
            box.Message = form->Message();
            box.Beep = form->Beep();
        } else {
            box.Message = ScriptedDialogs::TextOf(dialog);
        }
        return 1;
    };
}

// The action of a recently used entry whose path is this file.
QAction *EntryFor(const TMRUFileList &list, const QString &fileName)
{
    for (QAction *action : list.MenuItems()) {
        auto *entry = qobject_cast<TMRUMenuItem *>(action);
        if (entry && entry->FullCaption().endsWith(fileName))
            return entry;
    }
    return nullptr;
}

} // namespace

// Choosing the information file and the template, the recently used lists behind them and the
// heading balloon, through the main window with scripted dialogs.
class TestAssemblyFiles : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<QTemporaryDir> dir;

    QString File(const QString &name) const { return dir->filePath(name); }
    void Trigger(const char *item) { form->MainMenu().Item(QString::fromLatin1(item)).trigger(); }
    TRichEditEx &Document() const { return *form->RichEditEx1; }
    TRichEditEx &Information() const { return *form->RichEditEx2; }

    QString InformationFile(const QString &name, const QStringList &lines, const char *end = "\r\n")
    {
        const QString path = File(name);
        if (!WriteFile(path, Lines(lines, end)))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    QString TemplateFile(const QString &name, const QStringList &paragraphs)
    {
        const QString path = File(name);
        if (!WriteFile(path, Rtf(paragraphs)))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    static QStringList SixLines()
    {
        return {QStringLiteral("Client name"), QStringLiteral("Jones"),
                QStringLiteral("Street"),      QStringLiteral("High Street"),
                QStringLiteral("Amount owed"), QStringLiteral("12.50")};
    }

    void SelectInformation(const QString &path)
    {
        ScriptedDialogs script;
        script.ThenChooseFile(path);
        Trigger("EditInformationFile1");
        QCOMPARE(script.Unexpected(), 0);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        form = std::make_unique<TMainForm>();
        form->MRUFiles1->ClearAllItems();
        form->MRUFiles2->ClearAllItems();
        form->show();
    }
    void cleanup()
    {
        form.reset();
        dir.reset();
    }

    // --- Telling the two kinds and the two panes apart -----------------------------------

    void aFileOfTheOtherKindIsLoadedOnlyWhenTheUserSaysSo_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("asTemplate"); // the file chosen is a template
        QTest::addColumn<QString>("answer");
        QTest::newRow("template as information, no") << "EditInformationFile1" << true << "No";
        QTest::newRow("template as information, yes") << "EditInformationFile1" << true << "Yes";
        QTest::newRow("information as template, no") << "EditTemplateFile1" << false << "No";
        QTest::newRow("information as template, yes") << "EditTemplateFile1" << false << "Yes";
    }

    void aFileOfTheOtherKindIsLoadedOnlyWhenTheUserSaysSo()
    {
        QFETCH(QString, command);
        QFETCH(bool, asTemplate);
        QFETCH(QString, answer);
        const QString chosen = asTemplate ? TemplateFile(QStringLiteral("letter.tem"), {"Dear @1"})
                                          : InformationFile(QStringLiteral("case.inf"), SixLines());
        const bool intoInformation = command == QLatin1String("EditInformationFile1");
        ScriptedDialogs script;
        script.ThenChooseFile(chosen);
        script.ThenClick(answer);
        Trigger(command.toLatin1().constData());
        QCOMPARE(script.Pending(), 0);
        QVERIFY2(script.Seen().value(1).contains(asTemplate
                                                     ? QStringLiteral("looks like a template")
                                                     : QStringLiteral("looks like an information")),
                 qPrintable(script.Seen().value(1)));
        const bool loaded = answer == QLatin1String("Yes");
        TRichEditEx &pane = intoInformation ? Information() : Document();
        QCOMPARE(pane.Lines().LineCount() > 0, loaded);
        QCOMPARE((intoInformation ? form->InformationFileName : form->TemplateFileName).isEmpty(),
                 !loaded);

        // A file of the right kind is loaded without a question.
        ScriptedDialogs right;
        right.ThenChooseFile(intoInformation ? InformationFile(QStringLiteral("ok.inf"), SixLines())
                                             : TemplateFile(QStringLiteral("ok.tem"), {"@1"}));
        Trigger(command.toLatin1().constData());
        QCOMPARE(right.Pending(), 0);
        QCOMPARE(right.Unexpected(), 0);
    }

    void theSelectDialogsOfferOnlyFilesOfTheirOwnKind()
    {
        const QString letter = TemplateFile(QStringLiteral("letter.rtf"), {"Dear Sir"});
        const QString info = InformationFile(QStringLiteral("case.inf"), SixLines());
        const QString templ = TemplateFile(QStringLiteral("case.tem"), {"Dear @1"});
        ScriptedDialogs open;
        open.ThenChooseFile(letter);
        Trigger("FileOpenItem");
        QCOMPARE(form->DocumentName(), letter);

        // What the name box holds when the dialog comes up, then the file chosen.
        QStringList offered;
        const auto offer = [&offered](const QString &fileName) {
            return [&offered, fileName](QDialog &dialog) {
                auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                offered << (name ? name->text() : QStringLiteral("no name box"));
                static_cast<QFileDialog &>(dialog).selectFile(fileName);
                return int(QDialog::Accepted);
            };
        };
        ScriptedDialogs script;
        script.Then(offer(info));
        script.Then(offer(templ));
        script.Then(offer(info));
        script.Then(offer(templ));
        Trigger("EditInformationFile1");
        Trigger("EditTemplateFile1");
        Trigger("EditInformationFile1");
        Trigger("EditTemplateFile1");
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
        // The mask first, never the letter opened before; then the file of the same kind.
        QCOMPARE(offered, (QStringList{QStringLiteral("*.inf"), QStringLiteral("*.tem"),
                                       QStringLiteral("case.inf"), QStringLiteral("case.tem")}));
    }

    void theShownPaneIsNamedAboveItAndTheInformationPaneIsTinted()
    {
        SelectInformation(InformationFile(QStringLiteral("case.inf"), SixLines()));
        QTRY_VERIFY(
            form->PaneLabel->text().startsWith(QStringLiteral("Information file: case.inf")));
        QVERIFY(form->PaneLabel->isVisible());
        const QColor tint = Information().palette().color(QPalette::Base);
        QVERIFY(tint != Document().palette().color(QPalette::Base));
        QCOMPARE(form->PaneLabel->palette().color(QPalette::Window), tint);
        // Ctrl+W on the shown window.
        QTest::keyClick(form.get(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!Document().isHidden());
        QTRY_VERIFY(form->PaneLabel->text().startsWith(QStringLiteral("Document: ")));
        QVERIFY(form->PaneLabel->palette().color(QPalette::Window) != tint);
    }

    void checkTemplateChecksATemplateOpenedOnScreen()
    {
        SelectInformation(InformationFile(QStringLiteral("case.inf"), SixLines()));
        ScriptedDialogs open;
        open.ThenChooseFile(TemplateFile(QStringLiteral("opened.tem"), {"Dear @1 of @9"}));
        Trigger("FileOpenItem");
        QVERIFY(form->TemplateFileName.isEmpty());
        QString report;
        ScriptedDialogs script;
        script.Then([&report](QDialog &dialog) {
            auto *check = qobject_cast<TCheckReportDialog *>(&dialog);
            report = check ? check->Report() : ScriptedDialogs::TextOf(dialog);
            return 1;
        });
        Trigger("CheckTemplate1");
        QCOMPARE(script.Pending(), 0);
        // The placeholder without a value in the information file is reported.
        QVERIFY2(!report.contains(QString::fromLatin1(NoTemplateText)), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("@9")), qPrintable(report));
    }

    // --- Edit/Select Information File ---------------------------------------------------

    void informationFileLineCheck_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("warned");
        const QStringList four{"Name", "Jones", "Town", "Leeds"};
        QTest::newRow("4 lines") << four << "\r\n" << false;
        QTest::newRow("5 lines") << (four + QStringList{"Stray"}) << "\r\n" << true;
        QTest::newRow("4 lines and a final empty line") << (four + QStringList{""}) << "\r\n"
                                                        << false;
        QTest::newRow("3 lines, LF ends") << QStringList{"Name", "Jones", "Town"} << "\n" << true;
        QTest::newRow("one line") << QStringList{"Name"} << "\r\n" << true;
    }

    void informationFileLineCheck()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, end);
        QFETCH(bool, warned);
        const QString path =
            InformationFile(QStringLiteral("case.inf"), lines, end.toLatin1().constData());
        TBox box;
        QString mask;
        ScriptedDialogs script;
        script.Then([&mask, path](QDialog &dialog) {
            auto *open = qobject_cast<TOpenPreviewDialog *>(&dialog);
            if (!open)
                return int(QDialog::Rejected);
            mask = open->FileName();
            open->selectFile(path);
            return int(QDialog::Accepted);
        });
        if (warned)
            script.Then(RecordBox(box));
        Trigger("EditInformationFile1");

        QCOMPARE(mask, QStringLiteral("*.inf"));
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(box.Shown, warned);
        if (warned) {
            QCOMPARE(box.Caption, QString());
            QCOMPARE(box.Beep, int(TDialogForm::ExclamationBeep));
            QCOMPARE(box.Message, TDialogForm::PrepareMessage(QString::fromLatin1(OddLinesText)));
        }
        // Loaded and selected whether the check complained or not.
        QCOMPARE(form->InformationFileName, path);
        QCOMPARE(Information().Lines().LineAt(1), lines.value(1).toStdString());
        QCOMPARE(form->DocumentName(), path);
        QCOMPARE(form->windowTitle(), QStringLiteral("case.inf - Zarvel"));
        QVERIFY(!Information().isHidden());
        QVERIFY(Document().isHidden());
        QCOMPARE(form->MRUFiles1->Items().value(0), path);
        QVERIFY(form->MRUFiles2->Items().isEmpty());
    }

    void cancelledSelectionsChangeNothing_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("information") << "EditInformationFile1";
        QTest::newRow("template") << "EditTemplateFile1";
    }

    void cancelledSelectionsChangeNothing()
    {
        QFETCH(QString, item);
        Document().SetSelectedText("kept");
        ScriptedDialogs script;
        script.ThenReject();
        Trigger(item.toLatin1().constData());
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY(form->InformationFileName.isEmpty());
        QVERIFY(form->TemplateFileName.isEmpty());
        QCOMPARE(form->windowTitle(), QStringLiteral("untitled - Zarvel"));
        QCOMPARE(Document().WholeText(), std::string("kept"));
        QVERIFY(form->MRUFiles1->Items().isEmpty());
        QVERIFY(form->MRUFiles2->Items().isEmpty());
    }

    // --- Edit/Select Template File ------------------------------------------------------

    void templateSelectionKeepsTheCaptionUntitled()
    {
        const QString path = TemplateFile(QStringLiteral("letter.tem"), {"Dear @1,", "Yours, @2"});
        // A document opened earlier gives the caption a real name first.
        form->SetDocumentName(File(QStringLiteral("earlier.rtf")));
        QString mask;
        ScriptedDialogs script;
        script.Then([&mask, path](QDialog &dialog) {
            auto *open = qobject_cast<TOpenPreviewDialog *>(&dialog);
            if (!open)
                return int(QDialog::Rejected);
            mask = open->FileName();
            open->selectFile(path);
            return int(QDialog::Accepted);
        });
        Trigger("EditTemplateFile1");
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(mask, QStringLiteral("*.tem"));
        QCOMPARE(form->TemplateFileName, path);
        QCOMPARE(form->DocumentName(), QStringLiteral("untitled"));
        QCOMPARE(form->windowTitle(), QStringLiteral("untitled - Zarvel"));
        QCOMPARE(Document().Lines().LineAt(0), std::string("Dear @1,"));
        QVERIFY(!Document().isHidden());
        QVERIFY(Information().isHidden());
        QCOMPARE(form->MRUFiles2->Items().value(0), path);
        QVERIFY(form->MRUFiles1->Items().isEmpty());
        // The next open dialog lists every file again, not only templates.
        QVERIFY(!form->OpenPreviewDialog1->nameFilters().contains(QStringLiteral("*.tem")));
    }

    void unreadableTemplateReachesTheErrorDisplay()
    {
        const QString path = File(QStringLiteral("gone.tem"));
        ScriptedDialogs script;
        script.ThenChooseFile(path);
        script.ThenAccept(); // the error display
        Trigger("EditTemplateFile1");
        QCOMPARE(script.Pending(), 0);
        QVERIFY(script.LastSeen().contains(QStringLiteral("Cannot open file")));
    }

    // --- The recently used lists --------------------------------------------------------

    void templateFromTheListShowsItsFullPath()
    {
        const QString first = TemplateFile(QStringLiteral("first.tem"), {"One @1", "end"});
        const QString second = TemplateFile(QStringLiteral("second.tem"), {"Two @1", "end"});
        form->MRUFiles2->AddItem(first);
        form->MRUFiles2->AddItem(second);
        Information().show();
        Document().hide();
        QAction *entry = EntryFor(*form->MRUFiles2, first);
        QVERIFY(entry);
        ScriptedDialogs script;
        entry->trigger();
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(form->windowTitle(), first);
        QCOMPARE(form->DocumentName(), QStringLiteral("untitled"));
        QCOMPARE(form->TemplateFileName, first);
        QCOMPARE(Document().Lines().LineAt(0), std::string("One @1"));
        QVERIFY(!Document().isHidden());
        QVERIFY(Information().isHidden());
        // A clicked entry leaves the list and is not put back.
        QCOMPARE(form->MRUFiles2->Items(), QStringList{second});
    }

    void informationFromTheListSkipsTheLineCheck()
    {
        const QString path =
            InformationFile(QStringLiteral("odd.inf"), {"Name", "Jones", "Stray line"});
        form->MRUFiles1->AddItem(path);
        QAction *entry = EntryFor(*form->MRUFiles1, path);
        QVERIFY(entry);
        ScriptedDialogs script;
        entry->trigger();
        QCOMPARE(script.Unexpected(), 0); // no even-lines message from the list
        QCOMPARE(form->windowTitle(), path);
        QCOMPARE(form->DocumentName(), QStringLiteral("untitled"));
        QCOMPARE(form->InformationFileName, path);
        QCOMPARE(Information().Lines().LineCount(), 3);
        QVERIFY(!Information().isHidden());
        QVERIFY(Document().isHidden());
        QVERIFY(form->MRUFiles1->Items().isEmpty());
    }

    void vanishedFileFromTheListReachesTheErrorDisplay()
    {
        const QString path = File(QStringLiteral("vanished.inf"));
        form->MRUFiles1->AddItem(path);
        QAction *entry = EntryFor(*form->MRUFiles1, path);
        QVERIFY(entry);
        ScriptedDialogs script;
        script.ThenAccept();
        entry->trigger();
        QCOMPARE(script.Pending(), 0);
        QVERIFY(script.LastSeen().contains(QStringLiteral("Cannot open file")));
        QVERIFY(form->InformationFileName.isEmpty());
    }

    // --- The save question before a pane is replaced -----------------------------------

    void replacingAModifiedPaneAsksFirst_data()
    {
        QTest::addColumn<QString>("command"); // a menu item, or a recently used list
        QTest::addColumn<bool>("chooses");    // the command runs the open dialog
        QTest::newRow("information file") << "EditInformationFile1" << true;
        QTest::newRow("template") << "EditTemplateFile1" << true;
        QTest::newRow("recent information file") << "MRUFiles1" << false;
        QTest::newRow("recent template") << "MRUFiles2" << false;
        QTest::newRow("Do It") << "DoIt1" << false;
    }

    void replacingAModifiedPaneAsksFirst()
    {
        QFETCH(QString, command);
        QFETCH(bool, chooses);
        const QString info = InformationFile(QStringLiteral("case.inf"), SixLines());
        const QString templ = TemplateFile(QStringLiteral("case.tem"), {"Pay @1", "end"});
        SelectInformation(info);
        ScriptedDialogs choose;
        choose.ThenChooseFile(templ);
        Trigger("EditTemplateFile1");
        // The clicked entry is the second of its list.
        form->MRUFiles1->AddItem(File(QStringLiteral("other.inf")));
        form->MRUFiles2->AddItem(File(QStringLiteral("other.tem")));
        for (TRichEditEx *pane : {&Document(), &Information()}) {
            pane->SetSelectionStart(0);
            pane->SetSelectedText("edited ");
        }
        const std::string document = Document().WholeText();
        const std::string information = Information().WholeText();
        const QString title = form->windowTitle();
        const QStringList recent1 = form->MRUFiles1->Items();
        const QStringList recent2 = form->MRUFiles2->Items();
        const auto run = [&] {
            if (command == QLatin1String("MRUFiles1"))
                EntryFor(*form->MRUFiles1, info)->trigger();
            else if (command == QLatin1String("MRUFiles2"))
                EntryFor(*form->MRUFiles2, templ)->trigger();
            else
                Trigger(command.toLatin1().constData());
        };

        // Cancel: nothing happens and nothing is lost.
        QFile::remove(QStringLiteral("debug.rtf"));
        ScriptedDialogs script;
        script.ThenClick(QStringLiteral("Cancel"));
        run();
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY(script.Seen().value(0).contains(QStringLiteral("Save changes to ")));
        QCOMPARE(Document().WholeText(), document);
        QCOMPARE(Information().WholeText(), information);
        QVERIFY(Document().ModifiedFlag() && Information().ModifiedFlag());
        QCOMPARE(form->windowTitle(), title);
        QCOMPARE(form->InformationFileName, info);
        QCOMPARE(form->TemplateFileName, templ);
        QCOMPARE(form->MRUFiles1->Items(), recent1);
        QCOMPARE(form->MRUFiles2->Items(), recent2);
        QVERIFY(form->msgpanel1->isHidden());
        QVERIFY(!QFile::exists(QStringLiteral("debug.rtf")));

        // No: the command goes on and replaces the pane.
        const bool replacesInformation =
            command.contains(QLatin1String("Information")) || command == QLatin1String("MRUFiles1");
        ScriptedDialogs next;
        next.ThenClick(QStringLiteral("No"));
        if (chooses)
            next.ThenChooseFile(replacesInformation ? info : templ);
        if (command == QLatin1String("DoIt1"))
            next.ThenAccept(); // the merge's closing message
        run();
        QCOMPARE(next.Pending(), 0);
        QCOMPARE(next.Unexpected(), 0);
        QVERIFY(!(replacesInformation ? Information() : Document()).WholeText().empty());
        QVERIFY((replacesInformation ? Information() : Document()).WholeText().find("edited") ==
                std::string::npos);
    }
};

ZARVEL_TEST_MAIN(TestAssemblyFiles)
#include "tst_assembly.moc"
