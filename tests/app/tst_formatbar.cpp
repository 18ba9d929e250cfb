#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TFormatBar.h"
#include "app/TRuler.h"
#include "app/TRulerMarker.h"
#include "richedit/TParaAttributesEx.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TTextAttributesEx.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

using namespace TColors;

namespace {
// The tool bar, ruler and document pane as the main window puts them together.
struct Window
{
    QWidget Form;
    QWidget *SpeedBar;
    TRuler *Ruler;
    TRichEditEx *Pane;
    std::unique_ptr<TFormatBar> Bar;
    QStringList Errors;

    Window()
    {
        Form.resize(812, 400);
        auto *layout = new QVBoxLayout(&Form);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        SpeedBar = new QWidget(&Form);
        SpeedBar->setFixedHeight(32);
        layout->addWidget(SpeedBar);
        Ruler = new TRuler(&Form);
        layout->addWidget(Ruler);
        Pane = new TRichEditEx(&Form);
        layout->addWidget(Pane, 1);
        Bar = std::make_unique<TFormatBar>(*SpeedBar, *Pane, *Ruler);
        Bar->RunCommand = [this](const std::function<void()> &command) {
            try {
                command();
            } catch (const std::exception &error) {
                Errors << QString::fromUtf8(error.what());
            }
        };
        Pane->OnChange = [this](TCustomRichEditEx *) { Bar->ScheduleRefresh(); };
        Pane->OnSelectionChange = [this](TCustomRichEditEx *) { Bar->ScheduleRefresh(); };
        Form.layout()->activate();
        Ruler->resize(812, 26);
        Bar->FillFontNameBox();
        Bar->InitRulerTabs();
        Bar->SelectionChange();
    }

    bool BoldAt(int position)
    {
        const int start = Pane->SelectionStart();
        const int length = Pane->SelectionLength();
        Pane->Select(position, position + 1);
        const bool bold = Pane->SelectionAttributes().Bold();
        Pane->Select(start, start + length);
        return bold;
    }
};
} // namespace

class TestFormatBar : public QObject
{
    Q_OBJECT

private slots:
    void init() { FWindow = std::make_unique<Window>(); }
    void cleanup() { FWindow.reset(); }

    void controlsStandWhereTheyBelong_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("hint");
        QTest::newRow("FontName") << "FontName" << 274 << 131 << "";
        QTest::newRow("FontSize") << "FontSize" << 405 << 46 << "";
        QTest::newRow("Bold") << "BoldButton" << 457 << 25 << "Bold";
        QTest::newRow("Italic") << "ItalicButton" << 483 << 25 << "Italic";
        QTest::newRow("Underline") << "UnderlineButton" << 509 << 25 << "Underline";
        QTest::newRow("colour") << "colorbutton" << 588 << 48
                                << "Select colour/color for selected text";
        QTest::newRow("swatch") << "Edit1" << 636 << 25 << "";
        QTest::newRow("left") << "LeftAlign" << 669 << 25 << "Align Left";
        QTest::newRow("centre") << "CenterAlign" << 695 << 25 << "Center";
        QTest::newRow("right") << "RightAlign" << 721 << 25 << "Align Right";
        QTest::newRow("bullets") << "BulletsButton" << 748 << 25 << "Bullets";
    }
    void controlsStandWhereTheyBelong()
    {
        QFETCH(QString, name);
        QFETCH(int, left);
        QFETCH(int, width);
        QFETCH(QString, hint);
        auto *widget = FWindow->SpeedBar->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->x(), left);
        QCOMPARE(widget->width(), width);
        if (!hint.isEmpty())
            QCOMPARE(widget->toolTip(), hint);
    }

    void boldWithoutSelectionFormatsNextTyping()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("abc");
        pane.SetSelectionStart(3);
        FWindow->Bar->BoldButton->click();
        QTest::keyClicks(&pane, "d");
        // Typing refreshed the tool bar from the new text.
        QTRY_VERIFY(FWindow->Bar->BoldButton->isChecked());
        QVERIFY(FWindow->BoldAt(3));
        for (int i = 0; i < 3; ++i)
            QVERIFY(!FWindow->BoldAt(i));
    }

    void markersFollowIndents_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("firstX");
        QTest::addColumn<int>("leftX");
        QTest::addColumn<int>("rightFromEnd");
        QTest::newRow("zero") << 0 << 0 << 0 << 2 << 2 << 14;
        QTest::newRow("indented") << 30 << -10 << 15 << 42 << 28 << 34;
        QTest::newRow("truncated") << 1 << 1 << 1 << 3 << 4 << 15;
        QTest::newRow("hanging") << 0 << 20 << 0 << 2 << 28 << 14;
    }
    void markersFollowIndents()
    {
        QFETCH(int, first);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, firstX);
        QFETCH(int, leftX);
        QFETCH(int, rightFromEnd);
        TParaAttributesEx &paragraph = FWindow->Pane->ParagraphAttributes();
        paragraph.SetFirstIndent(first);
        paragraph.SetLeftIndent(left);
        paragraph.SetRightIndent(right);
        FWindow->Bar->SelectionChange();
        TRuler &ruler = *FWindow->Ruler;
        QCOMPARE(ruler.FirstInd->x(), firstX);
        QCOMPARE(ruler.LeftInd->x(), leftX);
        QCOMPARE(ruler.RightInd->x(), ruler.width() - rightFromEnd);
    }

    void redTextAndSwatch()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("abc def");
        pane.Select(0, 3);
        ScriptedDialogs dialogs;
        dialogs.Then([](QDialog &dialog) {
            static_cast<QColorDialog &>(dialog).setCurrentColor(Qt::red);
            return int(QDialog::Accepted);
        });
        FWindow->Bar->colorbutton->click();
        QCOMPARE(dialogs.Pending(), 0);
        QCOMPARE(pane.SelectionAttributes().Color(), clRed);
        QCOMPARE(FWindow->Bar->Edit1->palette().color(QPalette::Base), QColor(Qt::red));
        QCOMPARE(FWindow->Bar->colorbutton->palette().color(QPalette::ButtonText), QColor(Qt::red));
        pane.Select(4, 7);
        QCOMPARE(pane.SelectionAttributes().Color(), clWindowText);

        // Cancel changes nothing.
        dialogs.Then([](QDialog &dialog) {
            static_cast<QColorDialog &>(dialog).setCurrentColor(Qt::blue);
            return int(QDialog::Rejected);
        });
        FWindow->Bar->colorbutton->click();
        QCOMPARE(pane.SelectionAttributes().Color(), clWindowText);
        QCOMPARE(FWindow->Bar->Edit1->palette().color(QPalette::Base), QColor(Qt::red));
    }

    void firstIndentDragKeepsLeftMarker()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("a paragraph");
        TRuler &ruler = *FWindow->Ruler;
        FWindow->Bar->SelectionChange();
        ruler.RulerItemMouseDown(*ruler.FirstInd, 5); // centre: no jump
        QCOMPARE(ruler.FirstInd->x(), 2);
        QVERIFY(ruler.FMarkerDragging);
        ruler.RulerItemMouseMove(*ruler.FirstInd, 45);
        QCOMPARE(ruler.FirstInd->x(), 42);
        ruler.FirstIndMouseUp();
        QVERIFY(!ruler.FMarkerDragging);
        TParaAttributesEx &paragraph = pane.ParagraphAttributes();
        QCOMPARE(paragraph.FirstIndent(), 30); // trunc(41 / (4/3))
        QCOMPARE(paragraph.LeftIndent(), -30);
        // The following lines stay at the margin, and so does the left marker.
        QCOMPARE(paragraph.StartIndent() + paragraph.OffsetIndent(), 0.0);
        QCOMPARE(ruler.FirstInd->x(), 42);
        QCOMPARE(ruler.LeftInd->x(), 2);
    }

    void leftAndRightDrops()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("a paragraph");
        TRuler &ruler = *FWindow->Ruler;
        FWindow->Bar->SelectionChange();
        ruler.RulerItemMouseDown(*ruler.LeftInd, 5);
        ruler.RulerItemMouseMove(*ruler.LeftInd, 25);
        ruler.LeftIndMouseUp();
        QCOMPARE(pane.ParagraphAttributes().FirstIndent(), 0);
        QCOMPARE(pane.ParagraphAttributes().LeftIndent(), 15); // trunc(21 / (4/3))
        QCOMPARE(ruler.LeftInd->x(), 22);

        const int width = ruler.width();
        ruler.RulerItemMouseDown(*ruler.RightInd, 4);
        QCOMPARE(ruler.FDragOffset, 4);
        ruler.RulerItemMouseMove(*ruler.RightInd, -16);
        QCOMPARE(ruler.RightInd->x(), width - 34);
        ruler.RightIndMouseUp();
        QCOMPARE(pane.ParagraphAttributes().RightIndent(), 15);
        QCOMPARE(ruler.RightInd->x(), width - 34);
    }

    void dragWithTheMouse()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("x");
        TRuler &ruler = *FWindow->Ruler;
        // A press off centre moves the marker under the mouse.
        QTest::mousePress(ruler.LeftInd, Qt::LeftButton, {}, QPoint(9, 5));
        QCOMPARE(ruler.LeftInd->x(), 6);
        QTest::mouseRelease(ruler.LeftInd, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(pane.ParagraphAttributes().LeftIndent(), 3); // trunc(5 / (4/3))
        QCOMPARE(ruler.LeftInd->x(), 6);
    }

    void rulerLineAndTabs()
    {
        TRuler &ruler = *FWindow->Ruler;
        FWindow->Form.show();
        ruler.setFixedWidth(500);
        QTRY_COMPARE(ruler.width(), 500);
        QCOMPARE(ruler.RulerLine->geometry().left(), 4);
        QCOMPARE(ruler.RulerLine->geometry().top(), 12);
        QCOMPARE(ruler.RulerLine->width(), 492);
        QCOMPARE(ruler.Caption().size(), 200);
        QCOMPARE(ruler.Caption().count(QStringLiteral("\t|")), 100);
    }

    void handlersWaitForTheRefresh()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("abc");
        pane.SelectAll();
        FWindow->Bar->FRefreshingToolbar = true;
        FWindow->Bar->BoldButton->click();
        FWindow->Bar->FontSizeChosen(FWindow->Bar->FontSize->findText(QStringLiteral("36")));
        FWindow->Bar->CenterAlign->click();
        FWindow->Bar->FRefreshingToolbar = false;
        QVERIFY(!pane.SelectionAttributes().Bold());
        QVERIFY(pane.SelectionAttributes().Size() != 36);
        QCOMPARE(pane.ParagraphAttributes().Alignment(), int(taLeftJustify));
    }

    void styleButtonsKeepOtherBits()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("abc");
        pane.SelectAll();
        pane.SelectionAttributes().SetStyle(TFontStyle::fsBold | TFontStyle::fsStrikeOut);
        FWindow->Bar->SelectionChange();
        QVERIFY(FWindow->Bar->BoldButton->isChecked());
        FWindow->Bar->UnderlineButton->click();
        QCOMPARE(pane.SelectionAttributes().Style(),
                 TFontStyle::fsBold | TFontStyle::fsStrikeOut | TFontStyle::fsUnderline);
        FWindow->Bar->ItalicButton->click();
        FWindow->Bar->BoldButton->click();
        QCOMPARE(pane.SelectionAttributes().Style(),
                 TFontStyle::fsItalic | TFontStyle::fsStrikeOut | TFontStyle::fsUnderline);
        FWindow->Bar->UnderlineButton->click();
        QCOMPARE(pane.SelectionAttributes().UnderlineType(), 0);
    }

    void fontSizeIsAppliedWhenComplete()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("abc");
        pane.SelectAll();
        QComboBox &box = *FWindow->Bar->FontSize;
        const int before = pane.SelectionAttributes().Size();
        QLineEdit &edit = *box.lineEdit();
        // A cleared box and a partial number are not applied and raise no error.
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClicks(&edit, "1");
        QCOMPARE(pane.SelectionAttributes().Size(), before);
        QTest::keyClicks(&edit, "5");
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(pane.SelectionAttributes().Size(), 15);
        // Letters do not go in; an empty box or 0 gives back the pane's size.
        edit.selectAll();
        QTest::keyClicks(&edit, "x0");
        QCOMPARE(box.currentText(), QStringLiteral("0"));
        QTest::keyClick(&edit, Qt::Key_Return);
        QTRY_COMPARE(box.currentText(), QStringLiteral("15"));
        QCOMPARE(pane.SelectionAttributes().Size(), 15);
        QVERIFY(FWindow->Errors.isEmpty());
        // Enter applies once: one undo step takes the size back.
        pane.Undo();
        QCOMPARE(pane.SelectionAttributes().Size(), before);
    }

    void refreshShowsSizeAndName()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("abc");
        pane.SelectAll();
        QComboBox &box = *FWindow->Bar->FontName;
        QVERIFY(box.count() > 0);
        const QString family = box.itemText(box.count() - 1);
        pane.SelectionAttributes().SetName(pane.ToAnsi(family));
        pane.SelectionAttributes().SetSize(17);
        FWindow->Bar->SelectionChange();
        QCOMPARE(FWindow->Bar->FontSize->currentText(), QStringLiteral("17"));
        QCOMPARE(box.currentText(), family);
    }

    void fontNameTypedOrPicked()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("abc");
        pane.SelectAll();
        QComboBox &box = *FWindow->Bar->FontName;
        QVERIFY(box.count() > 1);
        const QString before = pane.ToWide(pane.SelectionAttributes().Name());
        QLineEdit &edit = *box.lineEdit();
        edit.selectAll();
        QTest::keyClicks(&edit, "No Such Font Anywhere");
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(pane.ToWide(pane.SelectionAttributes().Name()), before);
        QTRY_COMPARE(box.currentText(), before);

        const QString other = box.itemText(box.itemText(0) == before ? 1 : 0);
        edit.selectAll();
        QTest::keyClicks(&edit, other);
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(pane.ToWide(pane.SelectionAttributes().Name()), other);
    }

    void fontListIsSortedOnce()
    {
        QComboBox &box = *FWindow->Bar->FontName;
        QStringList names;
        for (int i = 0; i < box.count(); ++i) {
            QVERIFY(box.itemText(i).size() <= 32);
            names << box.itemText(i);
        }
        for (int i = 1; i < names.size(); ++i)
            QVERIFY(QString::compare(names[i - 1], names[i], Qt::CaseInsensitive) <= 0);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    }

    void alignmentGroup()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("abc");
        TFormatBar &bar = *FWindow->Bar;
        QVERIFY(bar.LeftAlign->isChecked());
        bar.CenterAlign->click();
        QCOMPARE(pane.ParagraphAttributes().Alignment(), int(taCenter));
        QVERIFY(bar.CenterAlign->isChecked() && !bar.LeftAlign->isChecked());
        bar.RightAlign->click();
        QCOMPARE(pane.ParagraphAttributes().Alignment(), int(taRightJustify));
        QVERIFY(bar.RightAlign->isChecked() && !bar.CenterAlign->isChecked());
        // A down button can be released: the group is then all up.
        bar.RightAlign->click();
        QVERIFY(!bar.LeftAlign->isChecked() && !bar.CenterAlign->isChecked() &&
                !bar.RightAlign->isChecked());
        bar.SelectionChange();
        QVERIFY(bar.RightAlign->isChecked());
    }

    void bullets()
    {
        TRichEditEx &pane = *FWindow->Pane;
        pane.SetWholeText("abc");
        FWindow->Bar->BulletsButton->click();
        QCOMPARE(pane.ParagraphAttributes().Numbering(), nsBullet);
        FWindow->Bar->SelectionChange();
        QVERIFY(FWindow->Bar->BulletsButton->isChecked());
        FWindow->Bar->BulletsButton->click();
        QCOMPARE(pane.ParagraphAttributes().Numbering(), nsNone);
    }

    void fontDialog_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void fontDialog()
    {
        QFETCH(bool, accept);
        TRichEditEx &pane = *FWindow->Pane;
        const QString family = QStringLiteral("DejaVu Sans");
        if (!QFontDatabase::families().contains(family))
            QSKIP("needs the DejaVu fonts");
        pane.SetWholeText("abc");
        pane.SelectAll();
        pane.SelectionAttributes().SetName(pane.ToAnsi(family));
        pane.SelectionAttributes().SetSize(13);
        QFont seen;
        ScriptedDialogs dialogs;
        dialogs.Then([&](QDialog &dialog) {
            auto &fonts = static_cast<QFontDialog &>(dialog);
            seen = fonts.currentFont();
            QFont font(family);
            font.setPointSize(21);
            font.setBold(true);
            fonts.setCurrentFont(font);
            return int(accept ? QDialog::Accepted : QDialog::Rejected);
        });
        FWindow->Bar->SelectFont();
        QCOMPARE(dialogs.Pending(), 0);
        QCOMPARE(seen.pointSize(), 13);
        QCOMPARE(pane.SelectionAttributes().Size(), accept ? 21 : 13);
        QCOMPARE(pane.SelectionAttributes().Bold(), accept);
    }

private:
    std::unique_ptr<Window> FWindow;
};

ZARVEL_TEST_MAIN(TestFormatBar)
#include "tst_formatbar.moc"
