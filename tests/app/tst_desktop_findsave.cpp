#include "TestEnvironment.h"
#include "app/TEditingTools.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "app/TReplaceDialog.h"
#include "richedit/TRichEditEx.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QCompleter>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

namespace {
QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A user at the keyboard: answers each modal dialog that comes up with the handler. The
// answer runs on its own, so that a dialog it opens in turn is answered as well.
class TUser
{
public:
    explicit TUser(std::function<void(QWidget &)> answer) : FAnswer(std::move(answer))
    {
        FClock.start();
        QObject::connect(&FPoll, &QTimer::timeout, [this] { Look(); });
        FPoll.start(50);
    }

private:
    void Look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == FAnswered || !modal->isVisible())
            return;
        FAnswered = modal;
        // A test that went wrong must not wait for ever; the bound is far above a busy machine.
        if (FClock.elapsed() > 5 * 60 * 1000) {
            modal->close();
            return;
        }
        QTimer::singleShot(0, modal, [this, modal] { FAnswer(*modal); });
    }

    std::function<void(QWidget &)> FAnswer;
    QTimer FPoll;
    QElapsedTimer FClock;
    QPointer<QWidget> FAnswered;
};
} // namespace

// Find, replace and save under a real X display, where window activation, painting and the
// real file dialog behave as on a desktop.
class TestDesktopFindSave : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;

    TRichEditEx &Document() const { return *form->RichEditEx1; }
    void Trigger(const char *item) { form->MainMenu().Item(QString::fromLatin1(item)).trigger(); }
    void ShowActive(QWidget &window)
    {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // The widgets learn of it a little later than the window system says so.
        QTRY_COMPARE(QApplication::activeWindow(), &window);
    }

private slots:
    void init()
    {
        form = std::make_unique<TMainForm>();
        form->show();
        ShowActive(*form);
    }
    void cleanup() { form.reset(); }

    void findNextLeavesTheMatchInSight_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("find") << "F1";
        QTest::newRow("replace") << "R1";
    }

    void findNextLeavesTheMatchInSight()
    {
        QFETCH(QString, command);
        std::string text;
        for (int i = 0; i < 200; ++i)
            text += "line " + std::to_string(i) + "\r";
        text += "the target word";
        Document().SetWholeText(text);
        Trigger(command.toLatin1().constData());
        TFindDialog &dialog = command == QLatin1String("F1")
                                  ? form->EditingTools().FindDialog1()
                                  : form->EditingTools().ReplaceDialog1();
        ShowActive(dialog);
        QTest::keyClicks(dialog.FindEdit, QStringLiteral("target"));
        QTest::mouseClick(dialog.FindNextButton, Qt::LeftButton);
        const int at = int(text.find("target"));
        QCOMPARE(Document().SelectionStart(), at);
        QCOMPARE(Document().SelectionLength(), 6);
        QVERIFY(dialog.isActiveWindow());

        // Scrolled into view...
        QTextCursor start = Document().textCursor();
        start.setPosition(at);
        const QRect match = Document().cursorRect(start).united(Document().cursorRect());
        QVERIFY(Document().viewport()->rect().contains(match));
        // ... and painted as a selection although the pane has not the focus of an active window.
        const QPalette standard = QApplication::palette(&Document());
        const QColor highlight = standard.color(QPalette::Inactive, QPalette::Highlight);
        QVERIFY(highlight != standard.color(QPalette::Inactive, QPalette::Base));
        QTRY_VERIFY([&] {
            const QImage shot = Document().viewport()->grab().toImage();
            int highlighted = 0;
            for (int x = match.left(); x <= match.right(); ++x)
                highlighted += shot.pixelColor(x, match.center().y()) == highlight;
            return highlighted > match.width() / 4;
        }());

        // Closing the dialog hides an unfocused selection again, as before.
        dialog.CancelButton->click();
        QCOMPARE(Document().palette().color(QPalette::Inactive, QPalette::Highlight),
                 Document().palette().color(QPalette::Inactive, QPalette::Base));
    }

    void replaceDialogTabGoesFromFindToReplace()
    {
        Document().SetWholeText("a LINE and a LINE");
        QTest::keyClick(form.get(), Qt::Key_H, Qt::ControlModifier);
        TReplaceDialog &dialog = form->EditingTools().ReplaceDialog1();
        ShowActive(dialog);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(dialog.FindEdit));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("LINE"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("row"));
        QCOMPARE(dialog.ReplaceText(), QStringLiteral("row"));
        QTest::mouseClick(dialog.ReplaceAllButton, Qt::LeftButton);
        QCOMPARE(Document().WholeText(), std::string("a row and a row"));
    }

    void saveAsOntoAnExistingFileAsksOnce()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("letter.rtf"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("OLD") == 3);
        old.close();
        Document().SetSelectedText("New letter");
        // The file dialog as Qt shows it where the desktop offers none of its own.
        form->SaveDialog->setOption(QFileDialog::DontUseNativeDialog);

        QStringList questions;
        TUser user([&](QWidget &modal) {
            if (auto *files = qobject_cast<QFileDialog *>(&modal)) {
                auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                QVERIFY(name);
                name->setText(target);
                QTest::keyClick(name, Qt::Key_Return);
            } else if (auto *box = qobject_cast<QMessageBox *>(&modal)) {
                questions << box->text();
                box->button(QMessageBox::Yes)->click();
            }
        });
        Trigger("FileSaveAsItem");
        QCOMPARE(questions, QStringList{QStringLiteral("OK to overwrite ") + target});
        QVERIFY(ReadFile(target).contains("New letter"));

        // Save asks for the name and nothing else.
        questions.clear();
        Document().SetSelectedText(" again");
        Trigger("FileSaveItem");
        QCOMPARE(questions, QStringList());
        QVERIFY(ReadFile(target).contains("New letter again"));
    }

    void afterADialogTheWindowAndItsPaneHaveTheKeysAgain()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("letter1.rtf"));
        form->SaveDialog->setOption(QFileDialog::DontUseNativeDialog);
        form->SaveDialog->setDirectory(dir.path());
        QTest::keyClicks(&Document(), QStringLiteral("Dear Sir"));

        // The name is typed into the dialog, its completer popping up on the way.
        QPointer<QWidget> popup;
        TUser user([&](QWidget &modal) {
            auto *files = qobject_cast<QFileDialog *>(&modal);
            if (!files) {
                modal.close();
                return;
            }
            auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->clear();
            QTest::keyClicks(name, dir.path() + QStringLiteral("/"));
            if (name->completer() && name->completer()->popup())
                popup = name->completer()->popup();
            name->setText(target);
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(QFile::exists(target));
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(form.get()));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(&Document()));
        QVERIFY(!popup || !popup->isVisible());

        // Typing goes on in the letter and shortcuts work again.
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(", thanks"));
        QCOMPARE(Document().WholeText(), std::string("Dear Sir, thanks"));
        QTest::keyClick(form.get(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!form->RichEditEx2->isHidden());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form->RichEditEx2));

        // A message box leaves the information pane with the focus it had.
        Trigger("About1");
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(form.get()));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form->RichEditEx2));
    }
};

ZARVEL_TEST_MAIN(TestDesktopFindSave)
#include "tst_desktop_findsave.moc"
