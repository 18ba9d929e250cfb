#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TAutoRecovery.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "app/TRecoveryOffer.h"
#include "app/ZarvelProgram.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "rtf/TRtfWriter.h"
#include "widgets/TDialogSeam.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

// A crash, a killed process or the user's answers against the recovery copies: copies of a
// killed instance come back byte for byte, copies of running instances are left alone, and a
// copy goes when its pane is saved, discarded or the program ends normally. Started with a file,
// the program opens it before it offers the copies.

namespace {
const int IntervalMs = 150;

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray RichTextOf(const TRichEditEx &pane)
{
    TRtfWriter::Options options;
    options.PlainRTF = pane.PlainRTF();
    options.Language = pane.Language();
    return TRtfWriter::Write(*pane.document(), 0, -1, options);
}

// Types the text into the pane with real key events; "|" is the Return key.
void TypeInto(TRichEditEx &pane, const QString &text)
{
    pane.setFocus();
    const QStringList parts = text.split(QLatin1Char('|'));
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0)
            QTest::keyClick(&pane, Qt::Key_Return);
        for (const QChar c : parts[i]) {
            if (c.unicode() < 128)
                QTest::keyClick(&pane, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, &pane, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
    }
}

// The child: the program as main starts it, with a user who types the text into the document
// pane, says "ready" once a recovery copy holds it (and leaves its rich text in expectFile),
// and closes the window when "quit" arrives on standard input, answering No to the save
// question.
int RunChild(char *argv[])
{
    const QString text = QString::fromUtf8(argv[2]);
    const QString expectFile = QString::fromLocal8Bit(argv[3]);
    // The program sees no arguments of its own: the child's are not files to open.
    return RunZarvel(1, argv, [text, expectFile](TMainForm &form) {
        TDialogSeam::SetHandler([](QDialog &dialog) {
            if (auto *box = qobject_cast<QMessageBox *>(&dialog);
                box && box->button(QMessageBox::No))
                box->button(QMessageBox::No)->click();
            return dialog.result();
        });
        auto *input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &form);
        QObject::connect(input, &QSocketNotifier::activated, &form, [&form, input] {
            char line[64] = {};
            if (::read(STDIN_FILENO, line, sizeof line - 1) <= 0 || std::strstr(line, "quit")) {
                input->setEnabled(false);
                form.FileExit();
            }
        });
        QObject::connect(&form.AutoRecovery(), &TAutoRecovery::CopyWritten, &form,
                         [&form, expectFile](TPane pane, const QString &error) {
                             if (pane != TPane::Document || !error.isEmpty())
                                 return;
                             QFile expect(expectFile);
                             if (expect.open(QIODevice::WriteOnly))
                                 expect.write(RichTextOf(*form.RichEditEx1));
                             expect.close();
                             std::printf("ready\n");
                             std::fflush(stdout);
                         });
        TypeInto(*form.RichEditEx1, text);
    });
}
// The child started with a file on its command line: when the recovery offer comes it says what
// the window shows at that moment, keeps the copies for later and ends.
int RunWithFile(char *argv[])
{
    TMainForm *window = nullptr;
    TDialogSeam::SetHandler([&window](QDialog &dialog) {
        const auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("RecoveryCopies"));
        if (!list || !window) {
            std::printf("unexpected dialog\n");
            return int(QDialog::Rejected);
        }
        std::printf("offer|%s|%s|%d\n", window->RichEditEx1->toPlainText().toUtf8().constData(),
                    window->windowTitle().toUtf8().constData(), list->topLevelItemCount());
        std::fflush(stdout);
        dialog.findChild<QAbstractButton *>(QStringLiteral("LaterButton"))->click();
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return dialog.result();
    });
    char *arguments[] = {argv[0], argv[2], nullptr};
    return RunZarvel(2, arguments, [&window](TMainForm &form) { window = &form; });
}
} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

    QString folder;
    std::vector<std::unique_ptr<QProcess>> children;

    // Starts the program in a child process that types the text; returns once a recovery copy
    // holds it.
    QProcess &StartChild(const QString &text, const QString &expectFile)
    {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child->setProcessEnvironment(environment);
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--child"), text, expectFile});
        [&] {
            QVERIFY(child->waitForStarted());
            QByteArray said;
            QTRY_VERIFY2_WITH_TIMEOUT((said += child->readAllStandardOutput()).contains("ready"),
                                      said.constData(), 60000);
        }();
        children.push_back(std::move(child));
        return *children.back();
    }

    static void Kill(QProcess &child)
    {
        child.kill(); // SIGKILL: nothing of the program runs after it
        QVERIFY(child.waitForFinished());
    }

    QStringList Files(const QString &pattern) const
    {
        return QDir(folder).entryList({pattern}, QDir::Files);
    }

    // Offers what the folder holds; the answer sees the dialog first.
    static void Offer(TMainForm &form, ScriptedDialogs &dialogs, const char *button,
                      QStringList *rows = nullptr)
    {
        dialogs.Then([button, rows](QDialog &dialog) {
            const auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("RecoveryCopies"));
            for (int i = 0; list && rows && i < list->topLevelItemCount(); ++i) {
                const QTreeWidgetItem *item = list->topLevelItem(i);
                rows->append(QStringList{item->text(0), item->text(1), item->text(2)}.join('|'));
            }
            dialog.findChild<QAbstractButton *>(QString::fromLatin1(button))->click();
            return dialog.result();
        });
        TRecoveryOffer::Run(form, form.AutoRecovery());
    }

private slots:
    void initTestCase()
    {
        // The children inherit all of it: their copies go where this process looks.
        qputenv("XDG_DATA_HOME", QDir::current().filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("ZARVEL_RECOVERY_INTERVAL_MS", QByteArray::number(IntervalMs));
        QCoreApplication::setOrganizationName(QStringLiteral("Zarvel"));
        QCoreApplication::setApplicationName(QStringLiteral("Zarvel"));
        folder = TRecoveryStore::DefaultFolder();
    }

    void cleanup()
    {
        for (auto &child : children)
            if (child->state() != QProcess::NotRunning)
                Kill(*child);
        children.clear();
        QDir(folder).removeRecursively();
    }

    void killedInstanceComesBackByteForByte()
    {
        const QString expectFile = QDir::current().filePath(QStringLiteral("expect.rtf"));
        QProcess &child =
            StartChild(QStringLiteral("Dear Jo,|the sum is @1 \u00e9t\u00e9."), expectFile);
        const QByteArray expected = ReadFile(expectFile);
        QVERIFY(expected.startsWith("{\\rtf"));
        Kill(child);
        const QStringList copies = Files(QStringLiteral("*.document.rtf"));
        QCOMPARE(copies.size(), 1);
        QCOMPARE(ReadFile(folder + '/' + copies.first()), expected);

        TMainForm form;
        ScriptedDialogs dialogs;
        QStringList rows;
        Offer(form, dialogs, "RecoverButton", &rows);
        QCOMPARE(dialogs.Unexpected(), 0);
        QCOMPARE(rows.size(), 1);
        QVERIFY2(rows.first().startsWith("untitled|") && rows.first().endsWith("|document"),
                 qPrintable(rows.first()));
        QCOMPARE(RichTextOf(*form.RichEditEx1), expected);
        QCOMPARE(form.RichEditEx1->WholeText(), std::string("Dear Jo,\rthe sum is @1 \xe9t\xe9."));
        QVERIFY(form.RichEditEx1->ModifiedFlag());
        QCOMPARE(form.windowTitle(), QStringLiteral("untitled (recovered) - Zarvel"));
        // The copy is this instance's now: a second start finds nothing to offer.
        QCOMPARE(Files(QStringLiteral("*.rtf")).size(), 1);
        TMainForm second;
        TRecoveryOffer::Run(second, second.AutoRecovery());
        QCOMPARE(dialogs.Unexpected(), 0);

        // Save asks where to write; once saved, the copy goes.
        const QString saved = QDir::current().filePath(QStringLiteral("letter.rtf"));
        dialogs.ThenChooseFile(saved);
        form.MainMenu().Item(QStringLiteral("FileSaveItem")).trigger();
        QCOMPARE(dialogs.Pending(), 0);
        QCOMPARE(ReadFile(saved), expected);
        QTRY_VERIFY(Files(QStringLiteral("*.rtf")).isEmpty());
    }

    void runningInstancesKeepTheirCopies()
    {
        const QString expectA = QDir::current().filePath(QStringLiteral("a.rtf"));
        QProcess &first = StartChild(QStringLiteral("first"), expectA);
        QProcess &second = StartChild(QStringLiteral("second"), QStringLiteral("b.rtf"));
        QCOMPARE(Files(QStringLiteral("*.document.rtf")).size(), 2);

        TMainForm form;
        ScriptedDialogs dialogs;
        TRecoveryOffer::Run(form, form.AutoRecovery());
        QCOMPARE(dialogs.Unexpected(), 0); // both still run: nothing to offer

        Kill(first);
        QStringList rows;
        Offer(form, dialogs, "LaterButton", &rows);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(form.RichEditEx1->WholeText(), std::string());

        // The second ends normally, its text discarded by the user: its copy goes with it.
        second.write("quit\n");
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        const QStringList left = Files(QStringLiteral("*.rtf"));
        QCOMPARE(left.size(), 1);
        QCOMPARE(ReadFile(folder + '/' + left.first()), ReadFile(expectA));
        QCOMPARE(Files(QStringLiteral("*.lock")).size(), 1); // this process's own lock

        // Later kept it; Discard removes it.
        Offer(form, dialogs, "DiscardButton");
        QVERIFY(Files(QStringLiteral("*.rtf")).isEmpty());
        QCOMPARE(dialogs.Unexpected(), 0);
    }

    void offerComesAfterTheFilesOfTheCommandLine()
    {
        Kill(StartChild(QStringLiteral("lost words"), QStringLiteral("lost.rtf")));
        const QString letter = QDir::current().filePath(QStringLiteral("letter.rtf"));
        QFile file(letter);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\\rtf1\\ansi Opened from the command line.\\par}");
        file.close();

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open"), letter});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray said = child.readAllStandardOutput();
        QCOMPARE(said, QByteArray("offer|Opened from the command line.|letter.rtf - Zarvel|1\n"));
        QCOMPARE(child.exitCode(), 0);
        // Kept for later: the copy of the killed instance is still there.
        QCOMPARE(Files(QStringLiteral("*.document.rtf")).size(), 1);
    }

    void copyHoldsWhatSaveWrites_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *name : {"wordpad_lists.rtf", "pictures.rtf", "word_styles_unicode.rtf",
                                 "word_table.rtf", "libreoffice.rtf"})
            QTest::newRow(name) << TestEnvironment::dataPath(QStringLiteral("rtf/") + name);
    }

    void copyHoldsWhatSaveWrites()
    {
        QFETCH(QString, file);
        TMainForm form;
        TAutoRecovery &recovery = form.AutoRecovery();
        QSignalSpy written(&recovery, &TAutoRecovery::CopyWritten);
        form.RichEditEx1->Lines().LoadFile(file);
        TypeInto(*form.RichEditEx1, QStringLiteral("!"));
        QTRY_COMPARE(written.size(), 1);
        QCOMPARE(ReadFile(recovery.Store().CopyFile(TPane::Document)),
                 RichTextOf(*form.RichEditEx1));
        form.RichEditEx1->SetModifiedFlag(false);
    }

    void discardedOrUnwritableCopies()
    {
        auto form = std::make_unique<TMainForm>();
        ScriptedDialogs dialogs;
        TAutoRecovery &recovery = form->AutoRecovery();
        QSignalSpy written(&recovery, &TAutoRecovery::CopyWritten);
        TypeInto(*form->RichEditEx1, QStringLiteral("draft"));
        QTRY_COMPARE(written.size(), 1);
        QVERIFY(written.first().at(1).toString().isEmpty());
        const QString copy = recovery.Store().CopyFile(TPane::Document);
        QVERIFY(ReadFile(copy).contains("draft"));

        // New, and No to the save question: the text is given up, and so is its copy.
        dialogs.ThenClick(QStringLiteral("No"));
        form->MainMenu().Item(QStringLiteral("FileNewItem")).trigger();
        QTRY_VERIFY(!QFile::exists(copy));

        // A copy that cannot be written is told once in the hint panel, with no box; it is
        // tried again after each interval.
        QDir().mkpath(copy); // a folder in its place
        TypeInto(*form->RichEditEx1, QStringLiteral("x"));
        QTRY_COMPARE(written.size(), 2);
        QVERIFY(!written.last().at(1).toString().isEmpty());
        QVERIFY2(form->Hintpanel->text().contains("recovery copy"),
                 qPrintable(form->Hintpanel->text()));
        form->Hintpanel->clear();
        QTRY_VERIFY(written.size() >= 4);
        QVERIFY(form->Hintpanel->text().isEmpty());
        QCOMPARE(dialogs.Unexpected(), 0);

        // Written once the way is clear; a normal end takes it away.
        QDir().rmdir(copy);
        QTRY_VERIFY(ReadFile(copy).contains("x"));
        form.reset();
        QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());
    }
};

int main(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return RunChild(argv);
    if (argc == 3 && std::strcmp(argv[1], "--open") == 0)
        return RunWithFile(argv);
    QApplication app(argc, argv);
    TestEnvironment environment;
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
