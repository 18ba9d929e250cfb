// The program's message box: result letters, text preparation, sizes and layout, title bar.
#include "app/ShowMsgBox.h"
#include "app/TDialogForm.h"

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

namespace {
// Fills in the answer of the box in a test and keeps a copy of what it looked like.
struct TSeenBox
{
    QString Title;
    QString MessageText;
    QStringList ButtonTexts;
    Qt::WindowFlags Flags;
    Qt::CursorShape Cursor = Qt::BlankCursor;
};

TSeenBox Inspect(QDialog &dialog)
{
    TSeenBox seen;
    seen.Title = dialog.windowTitle();
    if (const auto *label = dialog.findChild<QLabel *>("Message"))
        seen.MessageText = label->text();
    for (int i = 1;
         const auto *button = dialog.findChild<QPushButton *>(QString("button%1").arg(i)); ++i)
        seen.ButtonTexts << button->text();
    seen.Flags = dialog.windowFlags();
    if (const QCursor *cursor = QApplication::overrideCursor())
        seen.Cursor = cursor->shape();
    return seen;
}

QList<QPushButton *> Buttons(const QDialog &dialog)
{
    QList<QPushButton *> buttons;
    for (int i = 1; auto *button = dialog.findChild<QPushButton *>(QString("button%1").arg(i)); ++i)
        buttons << button;
    return buttons;
}

TMsgBoxSettings WideSettings()
{
    TMsgBoxSettings settings;
    settings.BeepOnShow = false;
    settings.WorkArea = QRect(0, 0, 4000, 3000);
    return settings;
}
} // namespace

class TestMsgBox : public QObject
{
    Q_OBJECT

private slots:
    void resultLetters_data();
    void resultLetters();
    void noButtonGivesNoLetter();
    void messageLines_data();
    void messageLines();
    void iconLetters_data();
    void iconLetters();
    void buttonRowLayout();
    void messageMeasuredOnFirst254Characters();
    void messageWidthCappedByWorkArea_data();
    void messageWidthCappedByWorkArea();
    void heightAndCentring();
    void longMessageStaysClearOfTheButtons_data();
    void longMessageStaysClearOfTheButtons();
    void pictureAtTheRight();
    void missingPictureIsNotShown();
    void captionlessBoxHasNoTitleBar();
    void defaultCaption();
    void onlyAButtonEndsTheBox();
    void arrowCursorWhileShownAndRestored();
    void inputMode();
};

void TestMsgBox::resultLetters_data()
{
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("letter");

    QTest::newRow("empty gives OK") << ""
                                    << "button1" << QStringList{"&OK"} << "O";
    QTest::newRow("spaces only give OK") << "   "
                                         << "button1" << QStringList{"&OK"} << "O";
    QTest::newRow("no ampersand") << "Yes No"
                                  << "button1" << QStringList{"Yes", "No"} << "Y";
    QTest::newRow("second button") << "&Yes &No"
                                   << "button2" << QStringList{"&Yes", "&No"} << "N";
    QTest::newRow("cancel") << "&OK &Cancel"
                            << "button2" << QStringList{"&OK", "&Cancel"} << "C";
    QTest::newRow("inner accelerator") << "E&xit"
                                       << "button1" << QStringList{"E&xit"} << "X";
    QTest::newRow("upper-cased") << "&ok"
                                 << "button1" << QStringList{"&ok"} << "O";
    QTest::newRow("first ampersand counts") << "A&b&c"
                                            << "button1" << QStringList{"A&b&c"} << "B";
    QTest::newRow("runs of spaces") << "  &Yes    &No   &Maybe "
                                    << "button3" << QStringList{"&Yes", "&No", "&Maybe"} << "M";
    QTest::newRow("at most eight")
        << "&1 &2 &3 &4 &5 &6 &7 &8 &9 &10"
        << "button8" << QStringList{"&1", "&2", "&3", "&4", "&5", "&6", "&7", "&8"} << "8";
}

void TestMsgBox::resultLetters()
{
    QFETCH(QString, buttons);
    QFETCH(QString, press);
    QFETCH(QStringList, texts);
    QFETCH(QString, letter);

    ScriptedDialogs dialogs;
    TSeenBox seen;
    int result = -1;
    dialogs.Then([&](QDialog &dialog) {
        seen = Inspect(dialog);
        dialog.findChild<QPushButton *>(press)->click();
        result = dialog.result();
        return result;
    });
    const QChar answer = ShowMsgBox("Zarvel", 'I', "Question", buttons);
    QCOMPARE(QString(answer), letter);
    QCOMPARE(seen.ButtonTexts, texts);
    QCOMPARE(result, press.mid(6).toInt());
    QCOMPARE(dialogs.Unexpected(), 0);
}

void TestMsgBox::noButtonGivesNoLetter()
{
    ScriptedDialogs dialogs;
    dialogs.ThenReject();
    QCOMPARE(ShowMsgBox("Zarvel", 'I', "text", "&Yes &No"), QChar());
}

void TestMsgBox::messageLines_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("one line") << "Just one line"
                              << "Just one line";
    QTest::newRow("semicolons") << "first;second"
                                << "first\nsecond";
    QTest::newRow("empty line between") << "first;;second"
                                        << "first\n\nsecond";
    QTest::newRow("CR LF") << "a\r\nb"
                           << "a\nb";
    QTest::newRow("LF CR") << "a\n\rb"
                           << "a\nb";
    QTest::newRow("lone LF and CR") << "a\nb\rc"
                                    << "a\nb\nc";
    QTest::newRow("CR LF before LF CR") << "a\r\n\rb"
                                        << "a\n\nb";
    QTest::newRow("LF then CR LF") << "a\n\r\nb"
                                   << "a\n\nb";
    QTest::newRow("centre marker removed once") << "Title CenterText; and  centertext"
                                                << "Title\n and  centertext";
    QTest::newRow("marker needs its space") << "xCENTERTEXT"
                                            << "xCENTERTEXT";
    QTest::newRow("merge advice")
        << "You now have at least TWO choices;1.   Print;;2.   Select all"
        << "You now have at least TWO choices\n1.   Print\n\n2.   Select all";
}

void TestMsgBox::messageLines()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    ScriptedDialogs dialogs;
    TSeenBox seen;
    dialogs.Then([&](QDialog &dialog) {
        seen = Inspect(dialog);
        dialog.findChild<QPushButton *>("button1")->click();
        return dialog.result();
    });
    ShowMsgBox("Zarvel", '!', message, QString());
    QCOMPARE(seen.MessageText, shown);
}

void TestMsgBox::iconLetters_data()
{
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<bool>("icon");
    QTest::addColumn<int>("beep");

    QTest::newRow("exclamation") << QChar('!') << true << int(TDialogForm::ExclamationBeep);
    QTest::newRow("question") << QChar('?') << true << int(TDialogForm::QuestionBeep);
    QTest::newRow("application") << QChar('A') << true << int(TDialogForm::SimpleBeep);
    QTest::newRow("application lower case") << QChar('a') << true << int(TDialogForm::SimpleBeep);
    QTest::newRow("stop") << QChar('H') << true << int(TDialogForm::HandBeep);
    QTest::newRow("stop lower case") << QChar('h') << true << int(TDialogForm::HandBeep);
    QTest::newRow("information") << QChar('I') << true << int(TDialogForm::AsteriskBeep);
    QTest::newRow("information lower case") << QChar('i') << true << int(TDialogForm::AsteriskBeep);
    QTest::newRow("other letter") << QChar('X') << false << int(TDialogForm::SimpleBeep);
    QTest::newRow("absent") << QChar() << false << int(TDialogForm::SimpleBeep);
}

void TestMsgBox::iconLetters()
{
    QFETCH(QChar, letter);
    QFETCH(bool, icon);
    QFETCH(int, beep);
    const TDialogForm form(WideSettings(), "Zarvel", letter, "Some text", "&OK");
    QCOMPARE(form.HasIcon(), icon);
    QCOMPARE(int(form.Beep()), beep);
    const auto *iconLabel = form.findChild<QLabel *>("Icon");
    QCOMPARE(iconLabel != nullptr, icon);
    const auto *message = form.findChild<QLabel *>("Message");
    if (icon) {
        QCOMPARE(iconLabel->geometry(), QRect(10, 10, 32, 32));
        QVERIFY(!iconLabel->pixmap().isNull());
        QVERIFY(message->x() >= 32 + 20);
    } else {
        QVERIFY(message->x() >= 20);
    }
}

void TestMsgBox::buttonRowLayout()
{
    const TDialogForm form(WideSettings(), "Zarvel", 'I', "Short", "&Yes &No &Cancel");
    const QFontMetrics metrics(form.font());
    const auto buttons = Buttons(form);
    QCOMPARE(buttons.size(), 3);

    int widest = 0;
    for (const QString caption : {"Yes", "No", "Cancel"})
        widest = std::max(widest, metrics.horizontalAdvance("W" + caption + " W"));
    const int height = metrics.height() + 10;
    const int rowWidth = 3 * (widest + 10) - 10;
    QVERIFY(form.width() >= rowWidth + 20);
    for (int i = 0; i < buttons.size(); ++i) {
        const QRect expected((form.width() - rowWidth) / 2 + i * (widest + 10),
                             form.height() - height - 10, widest, height);
        QCOMPARE(buttons[i]->geometry(), expected);
    }
    QCOMPARE(form.findChild<QLabel *>("Message")->y(), 10);
    // The box is just wide enough for the buttons and the margins.
    QCOMPARE(form.width(), rowWidth + 20);
}

void TestMsgBox::messageMeasuredOnFirst254Characters()
{
    const QString message = QString("word ").repeated(80).trimmed(); // 399 characters
    const TDialogForm form(WideSettings(), "Zarvel", QChar(), message, "&OK");
    const QFontMetrics metrics(form.font());
    const int measured = metrics.horizontalAdvance("  " + message.left(254) + "  ");
    const auto *label = form.findChild<QLabel *>("Message");
    QCOMPARE(label->text(), message);
    QVERIFY(label->width() <= measured + 1);
    // The rest wraps onto a second line; the box allowed for one only.
    QVERIFY(label->height() >= 2 * metrics.height());
    QVERIFY(label->height() < 3 * metrics.height());
    QCOMPARE(form.width(), measured + 2 * 3 + 20);
    QCOMPARE(label->x(), std::max(20, (form.width() - measured) / 2));
}

void TestMsgBox::messageWidthCappedByWorkArea_data()
{
    QTest::addColumn<QChar>("icon");
    QTest::addColumn<int>("cap");
    QTest::newRow("no icon") << QChar() << 400 - (10 + 10);
    QTest::newRow("icon") << QChar('I') << 400 - (32 + 20 + 10);
}

void TestMsgBox::messageWidthCappedByWorkArea()
{
    QFETCH(QChar, icon);
    QFETCH(int, cap);
    TMsgBoxSettings settings = WideSettings();
    settings.WorkArea = QRect(0, 0, 400, 3000);
    const QString message = QString("many words ").repeated(20);
    const TDialogForm form(settings, "Zarvel", icon, message, "&OK");
    const auto *label = form.findChild<QLabel *>("Message");
    QVERIFY(label->width() <= cap + 1);
    QVERIFY(label->height() > QFontMetrics(form.font()).height());
    QVERIFY(form.width() + 2 * 3 <= 400);
}

void TestMsgBox::heightAndCentring()
{
    TMsgBoxSettings settings = WideSettings();
    settings.WorkArea = QRect(100, 50, 2000, 1000);
    const TDialogForm form(settings, "", 'H', "one;two;three", "&OK");
    const QFontMetrics metrics(form.font());
    const int lines = 3 * metrics.height();
    const int buttonHeight = metrics.height() + 10;
    // Three text heights, or what the label needs for three lines when its font sets lines
    // further apart.
    const auto *label = form.findChild<QLabel *>("Message");
    const int labelHeight = label->height();
    QVERIFY(labelHeight >= lines && labelHeight < lines + metrics.height());
    QCOMPARE(labelHeight, std::max(lines, label->heightForWidth(label->width())));
    QCOMPARE(form.height(), std::max(labelHeight, 32) + buttonHeight + 30);
    // Without a caption the frame is all there is around the client area.
    QCOMPARE(form.pos(),
             QPoint(100 + (2000 - (form.width() + 6)) / 2, 50 + (1000 - (form.height() + 6)) / 2));
    // A single short line is shorter than the icon, which sets the height then.
    const TDialogForm small(settings, "", 'H', "one", "&OK");
    QCOMPARE(small.height(), 32 + buttonHeight + 30);
}

void TestMsgBox::longMessageStaysClearOfTheButtons_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("workWidth");
    QTest::addColumn<QChar>("icon");
    QTest::addColumn<int>("mode");
    // The closing message of a merge with the places it left: the notes come after the first
    // 254 characters and are wider than any line before them.
    QString closing = "You now have at least TWO choices;1.   Print from this programme using "
                      "appropriate menu items/buttons  OR;;2.   Select all  this text (ctrl A);"
                      "a.    Copy/cut it to the Windows clipboard ;b.    Paste it into your Word "
                      "Procesing Programme;;Please check:";
    for (int i = 1; i <= 8; ++i)
        closing += QString(";@%1 on line %2 of the template did not fit: its value pushed the "
                           "text after it along")
                       .arg(i * 11)
                       .arg(i * 3);
    const int message = int(TDialogForm::TMode::Message);
    QTest::newRow("closing message with notes") << closing << 0 << QChar('I') << message;
    QTest::newRow("lines wrapped by a narrow screen")
        << QString("many words ").repeated(40) + ";and a last line" << 420 << QChar('!') << message;
    QTest::newRow("one long line") << QString("word ").repeated(120) << 0 << QChar() << message;
    QTest::newRow("input") << QString("many words ").repeated(40) << 420 << QChar('?')
                           << int(TDialogForm::TMode::Input);
}

void TestMsgBox::longMessageStaysClearOfTheButtons()
{
    QFETCH(QString, message);
    QFETCH(int, workWidth);
    QFETCH(QChar, icon);
    QFETCH(int, mode);
    TMsgBoxSettings settings;
    settings.BeepOnShow = false;
    if (workWidth > 0)
        settings.WorkArea = QRect(0, 0, workWidth, 3000);
    TDialogForm form(settings, "Zarvel", icon, message, "&OK",
                     static_cast<TDialogForm::TMode>(mode));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto *label = form.findChild<QLabel *>("Message");
    // The text as the label lays it out at the width it has fits in its height.
    QVERIFY2(
        label->heightForWidth(label->width()) <= label->height(),
        qPrintable(
            QString("%1 > %2").arg(label->heightForWidth(label->width())).arg(label->height())));
    QVERIFY(form.rect().contains(label->geometry()));
    QWidget *below = form.findChild<QLineEdit *>();
    if (!below)
        below = Buttons(form).first();
    QVERIFY2(label->geometry().bottom() < below->geometry().top(),
             qPrintable(QString("label ends at %1, %2 starts at %3")
                            .arg(label->geometry().bottom())
                            .arg(below->objectName())
                            .arg(below->geometry().top())));
    for (const QPushButton *button : Buttons(form)) {
        QVERIFY(!button->geometry().intersects(label->geometry()));
        QVERIFY(form.rect().contains(button->geometry()));
    }
}

void TestMsgBox::pictureAtTheRight()
{
    QImage image(40, 70, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString file = QDir::current().filePath("picture.png");
    QVERIFY(image.save(file));
    TMsgBoxSettings settings = WideSettings();
    settings.PictureFileName = file;
    const TDialogForm form(settings, "Zarvel", 'I', "text", "&OK");
    const auto *picture = form.findChild<QLabel *>("Picture");
    QVERIFY(picture);
    QCOMPARE(picture->geometry(), QRect(form.width() - 40 - 10, 10, 40, 70));
    const int buttonHeight = QFontMetrics(form.font()).height() + 10;
    QCOMPARE(form.height(), 70 + buttonHeight + 30);
}

void TestMsgBox::missingPictureIsNotShown()
{
    TMsgBoxSettings settings = WideSettings();
    settings.PictureFileName = QDir::current().filePath("no such picture.bmp");
    const TDialogForm form(settings, "Zarvel", 'I', "text", "&OK");
    QVERIFY(!form.findChild<QLabel *>("Picture"));
    const TDialogForm plain(WideSettings(), "Zarvel", 'I', "text", "&OK");
    QCOMPARE(form.size(), plain.size());
}

void TestMsgBox::captionlessBoxHasNoTitleBar()
{
    ScriptedDialogs dialogs;
    QList<TSeenBox> seen;
    for (int i = 0; i < 2; ++i)
        dialogs.Then([&](QDialog &dialog) {
            seen << Inspect(dialog);
            dialog.findChild<QPushButton *>("button1")->click();
            return dialog.result();
        });
    ShowMsgBox("   ", '!', "You have not chosen a Template file;Please do so");
    ShowMsgBox(" Zarvel ", '!', "You have not chosen a Template file;Please do so");
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].Title, QString());
    QVERIFY(seen[0].Flags.testFlag(Qt::FramelessWindowHint));
    QCOMPARE(seen[1].Title, QString("Zarvel"));
    QVERIFY(!seen[1].Flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(seen[1].Flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!seen[1].Flags.testFlag(Qt::WindowCloseButtonHint));
}

void TestMsgBox::defaultCaption()
{
    TMsgBoxSettings settings = WideSettings();
    settings.DefaultCaption = "Notice";
    const TDialogForm form(settings, "", QChar(), "text", "");
    QCOMPARE(form.windowTitle(), QString("Notice"));
    QVERIFY(!form.windowFlags().testFlag(Qt::FramelessWindowHint));
}

void TestMsgBox::onlyAButtonEndsTheBox()
{
    TDialogForm form(WideSettings(), "Zarvel", 'I', "text", "&OK &Cancel");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(&form, Qt::Key_Escape);
    form.reject();
    QVERIFY(!form.close());
    QVERIFY(form.isVisible());
    Buttons(form)[1]->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), 2);
    QCOMPARE(form.ResultLetter(form.result()), QChar('C'));
}

void TestMsgBox::arrowCursorWhileShownAndRestored()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        ScriptedDialogs dialogs;
        TSeenBox seen;
        dialogs.Then([&](QDialog &dialog) {
            seen = Inspect(dialog);
            dialog.findChild<QPushButton *>("button1")->click();
            return dialog.result();
        });
        ShowMsgBox("Zarvel", 'I', "text");
        QCOMPARE(seen.Cursor, Qt::ArrowCursor);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

        // Also when showing the box fails.
        dialogs.Then([](QDialog &) -> int { throw std::runtime_error("cannot show"); });
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, ShowMsgBox("Zarvel", 'I', "text"));
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QApplication::restoreOverrideCursor();
    QVERIFY(!QApplication::overrideCursor());
}

void TestMsgBox::inputMode()
{
    ScriptedDialogs dialogs;
    TSeenBox seen;
    QString prefilled;
    dialogs.Then([&](QDialog &dialog) {
        seen = Inspect(dialog);
        auto *edit = dialog.findChild<QLineEdit *>();
        prefilled = edit->text();
        edit->setText("changed");
        QTest::keyClick(edit, Qt::Key_Return);
        return dialog.result();
    });
    QString text = "original";
    QCOMPARE(ShowInputBox("Zarvel", '?', "Your name?", text), QChar('O'));
    QCOMPARE(prefilled, QString("original"));
    QCOMPARE(text, QString("changed"));
    QCOMPARE(seen.ButtonTexts, (QStringList{"&OK", "&Cancel"}));

    dialogs.Then([&](QDialog &dialog) {
        dialog.findChild<QLineEdit *>()->setText("discarded");
        dialog.findChild<QPushButton *>("button2")->click();
        return dialog.result();
    });
    QCOMPARE(ShowInputBox("Zarvel", '?', "Your name?", text), QChar('C'));
    QCOMPARE(text, QString("changed"));

    // The edit line lies between the message and the buttons.
    const TDialogForm form(WideSettings(), "Zarvel", '?', "Your name?", "",
                           TDialogForm::TMode::Input, "x");
    const auto *edit = form.findChild<QLineEdit *>();
    const auto *message = form.findChild<QLabel *>("Message");
    QVERIFY(edit->geometry().top() >= message->geometry().bottom());
    QVERIFY(edit->geometry().bottom() < Buttons(form)[0]->geometry().top());
}

ZARVEL_TEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
