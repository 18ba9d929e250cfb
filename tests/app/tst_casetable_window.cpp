// A table of cases in the main window: chosen as the information file, its rows chosen in the
// bar below the pane, "Do It" on the row shown and "Do It for All Rows", all through the menus,
// scripted dialogs and real clicks and keys.
#include "../print/PdfText.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/StartupFiles.h"
#include "app/TAssemblyCommands.h"
#include "app/TCaseRowChooser.h"
#include "app/TDialogForm.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "assembly/TCaseTable.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "richedit/TWideRichEditStringsEx.h"
#include "widgets/TMRUFileList.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {
bool WriteFile(const QString &name, const QByteArray &data)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray Template = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 "
                            "Dear @1,\\par\nYou owe @2.\\par\n}";

// A table of rows "Name<i>" and "<i>*2" under its header.
QByteArray Rows(int count)
{
    QByteArray table = "Name,Amount\r\n";
    for (int i = 1; i <= count; ++i)
        table += "Name" + QByteArray::number(i) + "," + QByteArray::number(i) + "*2\r\n";
    return table;
}

struct TBox
{
    int Count = 0;
    QString Message;
    QChar Icon;
};
} // namespace

class TestCaseTableWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<QTemporaryDir> dir;

    QString File(const QString &name) const { return dir->filePath(name); }
    void Trigger(const char *item) { form->MainMenu().Item(QString::fromLatin1(item)).trigger(); }
    TRichEditEx &Information() const { return *form->RichEditEx2; }
    TCaseRowChooser &Chooser() const { return *form->AssemblyCommands().RowChooser(); }
    template <typename T> T &Part(const char *name) const
    {
        T *part = Chooser().findChild<T *>(QString::fromLatin1(name));
        Q_ASSERT(part);
        return *part;
    }
    QStringList PaneLines() const
    {
        QStringList lines;
        for (int i = 0; i < Information().WideLines().LineCount(); ++i)
            lines << Information().WideLines().LineAt(i);
        return lines;
    }
    static ScriptedDialogs::Answer Record(TBox &box)
    {
        return [&box](QDialog &dialog) {
            ++box.Count;
            if (auto *msg = qobject_cast<TDialogForm *>(&dialog))
                box.Message = msg->Message();
            else
                box.Message = ScriptedDialogs::TextOf(dialog);
            return 1;
        };
    }
    // Chooses the table and the template through the menu.
    void Choose(const QByteArray &table, const QString &name = QStringLiteral("cases.csv"))
    {
        QVERIFY(WriteFile(File(name), table));
        QVERIFY(WriteFile(File("letter.tem"), Template));
        ScriptedDialogs script;
        script.ThenChooseFile(File(name));
        script.ThenChooseFile(File("letter.tem"));
        Trigger("EditInformationFile1");
        Trigger("EditTemplateFile1");
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
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

    void rowChooserShowsTheRowThatDoItMerges()
    {
        Choose("Name,Amount,City\r\n\"Lee, Ann\",2*3,Oslo\r\nBob,4,\"K\xC3\xB6ln\"\r\n"
               "Carl,5,Rome\r\nDora,6,Lima\r\n");
        QCOMPARE(form->InformationFileName, File("cases.csv"));
        QCOMPARE(PaneLines(), (QStringList{"Name", "Lee, Ann", "Amount", "2*3", "City", "Oslo"}));
        QVERIFY(Information().ReadOnly());
        QVERIFY(Chooser().isVisible());
        QVERIFY(Part<QLabel>("RowNote").text().startsWith("Read-only: the row of cases.csv"));
        QCOMPARE(Part<QLabel>("RowCount").text(), QStringLiteral("of 4"));
        QVERIFY(!Part<QToolButton>("PreviousRow").isEnabled());

        QTest::mouseClick(&Part<QToolButton>("NextRow"), Qt::LeftButton);
        QCOMPARE(PaneLines().at(1), QStringLiteral("Bob"));
        QCOMPARE(PaneLines().at(5), QString::fromUtf8("K\xC3\xB6ln"));
        QTest::mouseClick(&Part<QToolButton>("LastRow"), Qt::LeftButton);
        QCOMPARE(PaneLines().at(1), QStringLiteral("Dora"));
        QVERIFY(!Part<QToolButton>("NextRow").isEnabled());
        QTest::mouseClick(&Part<QToolButton>("PreviousRow"), Qt::LeftButton);
        QCOMPARE(PaneLines().at(1), QStringLiteral("Carl"));
        QTest::mouseClick(&Part<QToolButton>("FirstRow"), Qt::LeftButton);
        QCOMPARE(PaneLines().at(1), QStringLiteral("Lee, Ann"));

        // A row's number, typed.
        QSpinBox &number = Part<QSpinBox>("RowNumber");
        number.setFocus();
        number.selectAll();
        QTest::keyClicks(&number, "3");
        QTest::keyClick(&number, Qt::Key_Return);
        QCOMPARE(PaneLines().at(1), QStringLiteral("Carl"));
        // The search goes on from the row shown, round to the first, in any case.
        QLineEdit &search = Part<QLineEdit>("RowSearch");
        QTest::keyClicks(&search, "LEE");
        QTest::keyClick(&search, Qt::Key_Return);
        QCOMPARE(PaneLines().at(1), QStringLiteral("Lee, Ann"));
        search.clear();
        QTest::keyClicks(&search, "nowhere");
        QTest::keyClick(&search, Qt::Key_Return);
        QCOMPARE(PaneLines().at(1), QStringLiteral("Lee, Ann"));
        // The pane takes no typing: the table stays the one source.
        Information().setFocus();
        QTest::keyClicks(&Information(), "typed");
        QCOMPARE(PaneLines().at(0), QStringLiteral("Name"));

        QTest::mouseClick(&Part<QToolButton>("NextRow"), Qt::LeftButton);
        ScriptedDialogs script;
        TBox box;
        script.Then(Record(box));
        Trigger("DoIt1");
        QCOMPARE(box.Count, 1);
        QCOMPARE(script.Unexpected(), 0);
        const QString letter = form->RichEditEx1->WideTextRange(0, -1);
        QVERIFY2(letter.contains("Dear Bob,") && letter.contains("You owe 4."), qPrintable(letter));
        QVERIFY2(form->windowTitle().contains("cases.csv row 2"), qPrintable(form->windowTitle()));

        // Save from the pane that shows the row never writes over the table.
        {
            form->PaneRules().ShowAndFocus(TPane::Information);
            ScriptedDialogs save;
            TBox refused;
            save.ThenChooseFile(File("cases.csv"));
            save.Then(Record(refused));
            Trigger("FileSaveItem");
            QCOMPARE(save.Unexpected(), 0);
            QVERIFY2(refused.Message.contains("Zarvel does not write over it"),
                     qPrintable(refused.Message));
            QVERIFY(ReadFile(File("cases.csv")).startsWith("Name,Amount,City\r\n\"Lee, Ann\""));
        }

        // An information file ends the table's use: the pane takes edits again.
        QVERIFY(WriteFile(File("case.inf"), "Name\r\nEve\r\nAmount\r\n7\r\n"));
        form->AssemblyCommands().SelectInformationFile(File("case.inf"));
        QVERIFY(!Chooser().isVisible());
        QVERIFY(!Information().ReadOnly());
        QCOMPARE(form->AssemblyCommands().InformationLines(),
                 (std::vector<std::string>{"Name", "Eve", "Amount", "7"}));
        // The recently used list takes the table back.
        form->AssemblyCommands().MRUFiles1MRUItemClick(File("cases.csv"));
        QVERIFY(Chooser().isVisible());
        QCOMPARE(PaneLines().at(1), QStringLiteral("Lee, Ann"));
        QCOMPARE(form->windowTitle(), File("cases.csv"));
    }

    void tablesOnTheCommandLineAndRefusedTables()
    {
        QVERIFY(WriteFile(File("letter.tem"), Template));
        QVERIFY(WriteFile(File("cases.tsv"), "Name\tAmount\nAnn\t1\nBob\n"));
        {
            // The short row is named in a message; the table is still taken.
            ScriptedDialogs script;
            TBox box;
            script.Then(Record(box));
            OpenStartupFiles(*form, {File("letter.tem"), File("cases.tsv")});
            QCOMPARE(box.Count, 1);
            QVERIFY2(box.Message.contains("row 2 (line 3 of the file) has 1 of the 2 cells"),
                     qPrintable(box.Message));
        }
        QCOMPARE(form->TemplateFileName, File("letter.tem"));
        QCOMPARE(form->InformationFileName, File("cases.tsv"));
        QCOMPARE(PaneLines(), (QStringList{"Name", "Ann", "Amount", "1"}));

        // A long row refuses the table: nothing changes.
        QVERIFY(WriteFile(File("bad.csv"), "a,b\n1,2\n3,4,5\n"));
        ScriptedDialogs script;
        TBox box;
        script.ThenChooseFile(File("bad.csv"));
        script.Then(Record(box));
        Trigger("EditInformationFile1");
        QCOMPARE(box.Count, 1);
        QVERIFY2(box.Message.contains("row 2 (line 3 of the file) has 3 cells"),
                 qPrintable(box.Message));
        QCOMPARE(form->InformationFileName, File("cases.tsv"));
        QCOMPARE(PaneLines(), (QStringList{"Name", "Ann", "Amount", "1"}));
        QVERIFY(!form->MRUFiles1->Items().contains(File("bad.csv")));

        // A spreadsheet needs LibreOffice; without it the message says to save it as CSV.
        if (!QStandardPaths::findExecutable("soffice").isEmpty() ||
            !QStandardPaths::findExecutable("libreoffice").isEmpty())
            return;
        QVERIFY(WriteFile(File("cases.xlsx"), "PK\x03\x04 not read"));
        ScriptedDialogs sheet;
        box = TBox();
        sheet.ThenChooseFile(File("cases.xlsx"));
        sheet.Then(Record(box));
        Trigger("EditInformationFile1");
        QVERIFY2(box.Message.contains("Save the sheet as CSV"), qPrintable(box.Message));
        QCOMPARE(form->InformationFileName, File("cases.tsv"));
    }

    void windowPaintsWhileALargeTableIsRead()
    {
        QVERIFY(WriteFile(File("large.csv"), Rows(400000)));
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(0);
        form->AssemblyCommands().SelectInformationFile(File("large.csv"));
        timer.stop();
        QVERIFY(ticks > 0);
        QCOMPARE(Part<QLabel>("RowCount").text(), QStringLiteral("of 400000"));
    }

    void doItForAllRowsWritesEveryRowAndStopsWhenCancelled()
    {
        Choose(Rows(5));
        const QString folder = File("letters");
        const auto chooseFolder = [&folder](QDialog &dialog) {
            dialog.findChild<QLineEdit *>("FolderEdit")->setText(folder);
            dialog.findChild<QComboBox *>("FormatBox")->setCurrentIndex(0);
            return int(QDialog::Accepted);
        };
        {
            ScriptedDialogs script;
            TBox box;
            script.Then(chooseFolder);
            script.Then(Record(box));
            Trigger("DoItForAllRows1");
            QCOMPARE(script.Unexpected(), 0);
            QVERIFY2(box.Message.startsWith("5 of 5 letters were written to"),
                     qPrintable(box.Message));
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 (QStringList{"1.rtf", "2.rtf", "3.rtf", "4.rtf", "5.rtf"}));
        QVERIFY(ReadFile(folder + "/4.rtf").contains("Dear Name4,\\par\r\nYou owe         8.00."));

        // Letters printed to PDF, as the window prints.
        {
            Choose(Rows(2), QStringLiteral("two.csv"));
            const QString pdfFolder = File("pdf");
            ScriptedDialogs script;
            TBox box;
            script.Then([&pdfFolder](QDialog &dialog) {
                dialog.findChild<QLineEdit *>("FolderEdit")->setText(pdfFolder);
                dialog.findChild<QComboBox *>("FormatBox")->setCurrentIndex(2);
                return int(QDialog::Accepted);
            });
            script.Then(Record(box));
            Trigger("DoItForAllRows1");
            QVERIFY2(box.Message.startsWith("2 of 2 letters were written"),
                     qPrintable(box.Message));
            const QStringList pages = PdfPageTexts(ReadFile(pdfFolder + "/2.pdf"));
            QCOMPARE(pages.size(), 1);
            QVERIFY2(QString(pages[0]).replace('\t', ' ').contains("Dear Name2,"),
                     qPrintable(pages[0]));
        }

        // A long run, cancelled from its progress bar after a few letters.
        Choose(Rows(400), QStringLiteral("many.csv"));
        QDir(folder).removeRecursively();
        QTimer canceller;
        bool clicked = false;
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            auto *progress = form->findChild<QProgressDialog *>("AllRowsProgress");
            if (clicked || !progress || progress->value() < 3)
                return;
            clicked = true;
            QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
        });
        canceller.start(0);
        ScriptedDialogs script;
        TBox box;
        script.Then(chooseFolder);
        script.Then(Record(box));
        Trigger("DoItForAllRows1");
        canceller.stop();
        QVERIFY(clicked);
        const QStringList written = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(written.size() >= 3 && written.size() < 400, qPrintable(written.join(' ')));
        QVERIFY2(box.Message.startsWith(
                     QStringLiteral("%1 of 400 letters were written to").arg(written.size())),
                 qPrintable(box.Message));
        QVERIFY(box.Message.contains("Cancelled"));
        // Each letter is whole, under its row's number.
        for (int i = 1; i <= written.size(); ++i) {
            const QByteArray letter =
                ReadFile(folder + QStringLiteral("/%1.rtf").arg(i, 3, 10, QChar('0')));
            QVERIFY(letter.startsWith("{\\rtf1"));
            QVERIFY(letter.contains("Dear Name" + QByteArray::number(i) + ","));
            QVERIFY(letter.endsWith("}\r\n"));
        }
    }
};

ZARVEL_TEST_MAIN(TestCaseTableWindow)
#include "tst_casetable_window.moc"
