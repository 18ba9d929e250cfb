// The main window driven as a user drives it, on a real X display: keys go to the window and
// reach whatever has the focus, clicks land on the tool bar's controls.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TFormatBar.h"
#include "app/TMainForm.h"
#include "app/TRuler.h"
#include "app/TRulerMarker.h"
#include "app/TSpeedBar.h"
#include "richedit/TRichEditEx.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

#include <memory>

class TestFormattingByHand : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;

    void ShowActive()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void Type(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(form->windowHandle(), c.toLatin1());
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(form->windowHandle(), key, modifiers);
    }

    void ClickInto(QWidget *widget)
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        QTRY_VERIFY(widget->hasFocus());
    }

    static QTextCharFormat FormatAt(TRichEditEx &pane, int position)
    {
        QTextCursor cursor(pane.document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    }

    static bool BoldAt(TRichEditEx &pane, int position)
    {
        return FormatAt(pane, position).fontWeight() >= QFont::Bold;
    }

    static int SizeAt(TRichEditEx &pane, int position)
    {
        return qRound(FormatAt(pane, position).fontPointSize());
    }

    static QString FamilyAt(TRichEditEx &pane, int position)
    {
        return FormatAt(pane, position).fontFamilies().toStringList().value(0);
    }

    // Picks the entry the box's list opens on, as a user who opens it and presses Enter.
    static void PickShownEntry(QComboBox &box)
    {
        box.showPopup();
        QAbstractItemView *list = box.view();
        QTRY_VERIFY(list->isVisible());
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!list->isVisible());
    }

private slots:
    void init() { form = std::make_unique<TMainForm>(); }
    void cleanup() { form.reset(); }

    void boldTakesOneClickAfterMovingThroughFormattedText()
    {
        ShowActive();
        TRichEditEx &pane = *form->RichEditEx1;
        TFormatBar &bar = *form->FormatBar;
        QTRY_VERIFY(pane.hasFocus());
        Type(QStringLiteral("plain "));
        Key(Qt::Key_B, Qt::ControlModifier); // bold for what is typed next
        Type(QStringLiteral("bold"));
        QTRY_VERIFY(bar.BoldButton->isChecked());
        for (int i = 0; i < 2; ++i)
            Key(Qt::Key_Left);
        QTRY_VERIFY(bar.BoldButton->isChecked());
        Key(Qt::Key_Home);
        QTRY_VERIFY(!bar.BoldButton->isChecked());
        Key(Qt::Key_End);
        QTRY_VERIFY(bar.BoldButton->isChecked());

        // Select the plain word and click Bold at once, as a quick user does.
        Key(Qt::Key_Home);
        Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(pane.SelectedText(), std::string("plain "));
        QTest::mouseClick(bar.BoldButton, Qt::LeftButton);
        for (int i = 0; i < 10; ++i)
            QVERIFY2(BoldAt(pane, i), qPrintable(QString::number(i)));
        QVERIFY(bar.BoldButton->isChecked());
    }

    void fontAndSizeBoxesFollowTheCaretAndApplyWhenComplete()
    {
        ShowActive();
        TRichEditEx &pane = *form->RichEditEx1;
        TFormatBar &bar = *form->FormatBar;
        ScriptedDialogs dialogs;
        pane.SetWholeText("alpha beta");
        QVERIFY(bar.FontName->count() > 1);
        const QString plainFamily = bar.FontName->itemText(0);
        const QString otherFamily = bar.FontName->itemText(1);
        const int plainSize = 12;
        pane.SelectAll();
        pane.SelectionAttributes().SetName(pane.ToAnsi(plainFamily));
        pane.SelectionAttributes().SetSize(plainSize);
        pane.Select(6, 10);
        pane.SelectionAttributes().SetName(pane.ToAnsi(otherFamily));
        pane.SelectionAttributes().SetSize(20);

        // The boxes show the format under the caret, the caret moved by keys.
        Key(Qt::Key_Home);
        QTRY_COMPARE(bar.FontName->currentText(), plainFamily);
        QTRY_COMPARE(bar.FontSize->currentText(), QString::number(plainSize));
        Key(Qt::Key_End);
        QTRY_COMPARE(bar.FontName->currentText(), otherFamily);
        QTRY_COMPARE(bar.FontSize->currentText(), QStringLiteral("20"));

        // A size typed into the box goes to the selection on Enter, not before.
        Key(Qt::Key_Home);
        Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        ClickInto(bar.FontSize);
        Key(Qt::Key_A, Qt::ControlModifier);
        Type(QStringLiteral("1"));
        QCOMPARE(SizeAt(pane, 0), plainSize);
        Type(QStringLiteral("4"));
        Key(Qt::Key_Return);
        QCOMPARE(SizeAt(pane, 0), 14);
        QCOMPARE(SizeAt(pane, 6), 20);

        // A cleared box, left for the pane, changes nothing and says nothing.
        Key(Qt::Key_A, Qt::ControlModifier);
        Key(Qt::Key_Backspace);
        ClickInto(form->RichEditEx1);
        QTRY_COMPARE(bar.FontSize->currentText(),
                     QString::number(SizeAt(pane, pane.SelectionStart())));
        QCOMPARE(SizeAt(pane, 0), 14);

        // Leaving the box applies what was typed, to the selection made before.
        pane.Select(0, 5);
        QTRY_COMPARE(bar.FontSize->currentText(), QStringLiteral("14"));
        ClickInto(bar.FontSize);
        Key(Qt::Key_A, Qt::ControlModifier);
        Type(QStringLiteral("9"));
        ClickInto(form->RichEditEx1);
        QCOMPARE(SizeAt(pane, 0), 9);
        QCOMPARE(SizeAt(pane, 4), 9);
        QCOMPARE(SizeAt(pane, 6), 20);

        // Picking the entry a box already shows applies it to the whole selection.
        pane.SelectAll();
        QTRY_COMPARE(bar.FontSize->currentText(), QStringLiteral("9"));
        QTRY_COMPARE(bar.FontName->currentText(), plainFamily);
        PickShownEntry(*bar.FontSize);
        PickShownEntry(*bar.FontName);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(SizeAt(pane, i), 9);
            QCOMPARE(FamilyAt(pane, i), plainFamily);
        }
        QCOMPARE(dialogs.Unexpected(), 0);
    }

    void keysInEachPane()
    {
        ShowActive();
        ScriptedDialogs dialogs;
        TRichEditEx &document = *form->RichEditEx1;
        TRichEditEx &information = *form->RichEditEx2;
        QTRY_VERIFY(document.hasFocus());
        Type(QStringLiteral("word"));
        Key(Qt::Key_Home, Qt::ShiftModifier);
        Key(Qt::Key_B, Qt::ControlModifier);
        Key(Qt::Key_I, Qt::ControlModifier);
        Key(Qt::Key_U, Qt::ControlModifier);
        const auto styled = [&document](int position) {
            const QTextCharFormat format = FormatAt(document, position);
            return QStringLiteral("%1%2%3")
                .arg(format.fontWeight() >= QFont::Bold ? "b" : "")
                .arg(format.fontItalic() ? "i" : "")
                .arg(format.fontUnderline() ? "u" : "");
        };
        QCOMPARE(styled(0), QStringLiteral("biu"));
        QCOMPARE(styled(3), QStringLiteral("biu"));
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(styled(0), QStringLiteral("bi"));
        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(styled(0), QStringLiteral("biu"));
        // A menu without an access key: Alt with its letter types nothing.
        for (const Qt::Key letter : {Qt::Key_D, Qt::Key_W, Qt::Key_H})
            Key(letter, Qt::AltModifier);
        QCOMPARE(document.WholeText(), std::string("word"));

        Key(Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(information.hasFocus());
        Type(QStringLiteral("info"));
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(information.WholeText(), std::string());
        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(information.WholeText(), std::string("info"));
        information.SelectAll();
        Key(Qt::Key_B, Qt::ControlModifier);
        Key(Qt::Key_U, Qt::ControlModifier);
        Key(Qt::Key_D, Qt::AltModifier);
        QCOMPARE(information.WholeText(), std::string("info"));
        QCOMPARE(FormatAt(information, 0).fontWeight(), FormatAt(information, 3).fontWeight());
        QVERIFY(FormatAt(information, 0).fontWeight() < QFont::Bold);
        QCOMPARE(styled(0), QStringLiteral("biu"));

        // Ctrl+N is New: the question about the edited information file, then an empty document.
        dialogs.ThenClick(QStringLiteral("No"));
        Key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(dialogs.Pending(), 0);
        QCOMPARE(document.WholeText(), std::string());
        QCOMPARE(form->DocumentName(), QStringLiteral("Untitled"));
        QCOMPARE(dialogs.Unexpected(), 0);
    }

    void firstShowPutsRulerIconsAndWindowRight()
    {
        ShowActive();
        // The right-indent marker counts from the ruler's right edge, from the first show on.
        TRuler &ruler = *form->Ruler;
        QCOMPARE(ruler.width(), form->centralWidget()->width());
        QCOMPARE(ruler.RightInd->x(), ruler.width() - 14);
        QCOMPARE(ruler.FirstInd->x(), 2);

        // Every button of the tool bar draws an icon of the program's own and names itself in
        // its tool tip; no text of it is drawn.
        QList<QAbstractButton *> buttons;
        for (QToolButton *button : form->SpeedBar->findChildren<QToolButton *>())
            buttons << button;
        buttons << form->FormatBar->colorbutton;
        QCOMPARE(buttons.size(), 19);
        for (QAbstractButton *button : buttons) {
            const QString name = button->objectName();
            QVERIFY2(!button->toolTip().isEmpty(), qPrintable(name));
            const QImage image = button->icon().pixmap(16, 16).toImage();
            int inked = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    inked += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(inked >= 12, qPrintable(name));
            if (auto *tool = qobject_cast<QToolButton *>(button))
                QCOMPARE(tool->toolButtonStyle(), Qt::ToolButtonIconOnly);
            else
                QVERIFY2(button->text().isEmpty(), qPrintable(name));
        }

        // No control of the tool bar lies over another, and the size box has room for 3 digits.
        const QList<QWidget *> controls =
            form->SpeedBar->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (const QWidget *a : controls) {
            for (const QWidget *b : controls) {
                if (a != b && a->isVisible() && b->isVisible())
                    QVERIFY2(!a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + " " + b->objectName()));
            }
        }
        QLineEdit &sizeEdit = *form->FormatBar->FontSize->lineEdit();
        QVERIFY(sizeEdit.width() >=
                sizeEdit.fontMetrics().horizontalAdvance(QStringLiteral("100")));

        // The whole window is on the screen, also after it was made too large for it.
        const QRect screen = form->screen()->availableGeometry();
        QVERIFY(screen.contains(form->frameGeometry()));
        form->setGeometry(-50, -50, screen.width() + 200, screen.height() + 200);
        form->FitOnScreen();
        QTRY_VERIFY(screen.contains(form->frameGeometry()));
    }
};

ZARVEL_TEST_MAIN(TestFormattingByHand)
#include "tst_formatting_by_hand.moc"
