#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "app/TPaneRules.h"
#include "app/TRuler.h"
#include "app/TScreenZoom.h"
#include "app/TSpeedBar.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>

#include <memory>

Q_DECLARE_METATYPE(TPane)

namespace {
QColor PanelColour(const QWidget &panel)
{
    return panel.palette().color(QPalette::Window);
}

QString MenuLayout(const QMenu &menu)
{
    QStringList items;
    for (const QAction *action : menu.actions())
        if (action->isVisible())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return items.join('|');
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;

    void ShowActive()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

private slots:
    void init() { form = std::make_unique<TMainForm>(); }
    void cleanup() { form.reset(); }

    void startUpState()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("untitled - Zarvel"));
        QCOMPARE(form->DocumentName(), QStringLiteral("untitled"));
        QVERIFY(!form->RichEditEx1->isHidden());
        QVERIFY(!form->RichEditEx2->isHidden());
        QCOMPARE(form->focusWidget(), static_cast<QWidget *>(form->RichEditEx1));
        QVERIFY(form->Timer2->isActive());
        QCOMPARE(form->Timer2->interval(), 1000);
        QVERIFY(!form->Timer1->isActive());
        QCOMPARE(form->Timer1->interval(), 4000);
        QVERIFY(form->Hintpanel->isHidden());
        QVERIFY(!form->Hintpanel->isEnabled());
        QCOMPARE(form->Hintpanel->text(), QStringLiteral("Hintpanel"));
        QVERIFY(form->msgpanel1->isHidden());
        QCOMPARE(form->msgpanel1->text(), QStringLiteral("Please wait"));
        QCOMPARE(form->msgpanel1->geometry(), QRect(220, 220, 349, 25));
        QCOMPARE(PanelColour(*form->msgpanel1), QColor(0, 255, 0));
        QVERIFY(form->ProgressBar1->isHidden());
        QCOMPARE(form->ProgressBar1->geometry(), QRect(128, 243, 525, 18));
        QCOMPARE(form->ProgressBar1->maximum(), 100);
        QVERIFY(form->InformationFileName.isEmpty());
        QVERIFY(form->TemplateFileName.isEmpty());
        QVERIFY(!form->OverwriteMode);
    }

    void partsFromTopToBottom()
    {
        ShowActive();
        const auto top = [this](const QWidget *w) { return w->mapTo(form.get(), QPoint()).y(); };
        const int clientTop = top(form->centralWidget());
        QCOMPARE(top(form->SpeedBar), clientTop);
        QCOMPARE(form->SpeedBar->height(), 32);
        QCOMPARE(top(form->Ruler), clientTop + 32);
        QCOMPARE(form->Ruler->height(), 26);
        // The label that names the shown pane, then the panes.
        QCOMPARE(top(form->PaneLabel), clientTop + 58);
        QVERIFY(form->PaneLabel->height() > 0);
        QCOMPARE(top(form->RichEditEx1), clientTop + 58 + form->PaneLabel->height());
        QCOMPARE(form->RichEditEx1->geometry(), form->RichEditEx2->geometry());
        QCOMPARE(form->StatusBar->height(), 20);
        QCOMPARE(top(form->StatusBar) + 20, form->height());

        // The document pane lies above the information pane.
        QWidget *area = form->RichEditEx1->parentWidget();
        QWidget *atCentre = area->childAt(area->rect().center());
        QVERIFY(atCentre == form->RichEditEx1 || form->RichEditEx1->isAncestorOf(atCentre));

        // The hint panel takes its place above the status bar; the panes give way.
        const int paneBottom = top(form->RichEditEx1) + form->RichEditEx1->height();
        form->showhint(QStringLiteral("x"));
        QTRY_VERIFY(form->Hintpanel->isVisible());
        QTRY_COMPARE(top(form->Hintpanel) + 25, top(form->StatusBar));
        QCOMPARE(form->Hintpanel->height(), 25);
        QCOMPARE(top(form->RichEditEx1) + form->RichEditEx1->height(), top(form->Hintpanel));
        QCOMPARE(top(form->Hintpanel) + 25, paneBottom);
    }

    void paneProperties()
    {
        TRichEditEx &doc = *form->RichEditEx1;
        TRichEditEx &info = *form->RichEditEx2;
        QVERIFY(doc.WordWrap());
        QVERIFY(!info.WordWrap());
        QCOMPARE(doc.ScrollBars(), TScrollStyle::ssVertical);
        QVERIFY(!doc.HideScrollBars());
        QCOMPARE(info.ScrollBars(), TScrollStyle::ssNone);
        QVERIFY(!doc.PlainRTF());
        QVERIFY(info.PlainRTF());
        QVERIFY(doc.IncludeOLE());
        QVERIFY(!info.IncludeOLE());
        for (TRichEditEx *pane : {&doc, &info}) {
            QCOMPARE(pane->AutoURLDetect(), TAutoURLDetect::adNone);
            QCOMPARE(pane->Language(), 1033);
            QVERIFY(!pane->ShowSelectionBar());
            QCOMPARE(pane->InputFormat(), TInputFormat::ifRTF);
            QCOMPARE(pane->OutputFormat(), TOutputFormat::ofRTF);
        }
    }

    void menuLayout_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("layout");
        QTest::newRow("file") << "FileMenu"
                              << "&File"
                              << "&New|&Open...|&Save|Save &As...|-|page&Dialog|PrintPre&view|"
                                 "&Print|-|E&xit";
        QTest::newRow("edit")
            << "EditMenu"
            << "&Edit"
            << "&Undo|R&edo|-|Cu&t|&Copy|&Paste|-|&Find|&Replace|&Font...|"
               "Math calculate|Insert Blank lines|Insert page break|Insert &Table...|Ta&ble|"
               "&Select all|&Toggle Windows";
        QTest::newRow("assembly")
            << "DocumentAssembly1"
            << "Document Assembly"
            << "Edit/Select Information File|-|Edit/Select Template File|-|"
               "Check Template|Do It|Do It for All Rows|Toggle Ins/Overwrite|-";
        QTest::newRow("window") << "Window1"
                                << "Window"
                                << "Switch|-|Zoom &In|Zoom &Out|&Actual Size";
        QTest::newRow("help") << "HelpMenu"
                              << "Help"
                              << "Contents|Tip of the Day|Credits|About";
    }

    void menuLayout()
    {
        QFETCH(QString, menu);
        QFETCH(QString, title);
        QFETCH(QString, layout);
        auto *found = form->menuBar()->findChild<QMenu *>(menu);
        QVERIFY(found);
        QCOMPARE(found->title(), title);
        QCOMPARE(MenuLayout(*found), layout);
    }

    void menuItems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<QString>("hint");
        QTest::newRow("new") << "FileNewItem"
                             << "Ctrl+N"
                             << "Create a new file";
        QTest::newRow("open") << "FileOpenItem"
                              << "Ctrl+O"
                              << "Open an existing file. This will bring up the close dialog in "
                                 "respect of any file already in the window";
        QTest::newRow("save") << "FileSaveItem"
                              << "Ctrl+S"
                              << "Save Current File . Take care to NOT overwite a template file "
                                 "and DO keep backup copies of all template and information files";
        QTest::newRow("save as") << "FileSaveAsItem"
                                 << ""
                                 << "Save current file under a new name.  If you specify HTM or "
                                    "HTML as extension it will be saved as such..";
        QTest::newRow("page") << "pageDialog1"
                              << ""
                              << "Use this to adjust portrait/landscape, paper size etc.";
        QTest::newRow("preview") << "PrintPreview1"
                                 << "Ctrl+Alt+V"
                                 << "";
        QTest::newRow("print") << "FilePrintItem"
                               << "Ctrl+P"
                               << "Print current file";
        QTest::newRow("exit") << "FileExitItem"
                              << ""
                              << "Exit this application";
        QTest::newRow("undo") << "EditUndoItem"
                              << "Ctrl+Z"
                              << "Undo the last action";
        QTest::newRow("redo") << "Redo1"
                              << "Ctrl+Y"
                              << "Undo the last undo";
        QTest::newRow("cut") << "EditCutItem"
                             << "Ctrl+X"
                             << "Delete selected item to the clipboard";
        QTest::newRow("copy") << "EditCopyItem"
                              << "Ctrl+C"
                              << "Copy selected item to clipboard";
        QTest::newRow("paste") << "EditPasteItem"
                               << "Shift+Ins"
                               << "Paste contents of clipboard";
        QTest::newRow("find") << "F1"
                              << "Ctrl+F"
                              << "";
        QTest::newRow("replace") << "R1"
                                 << "Ctrl+H"
                                 << "";
        QTest::newRow("math") << "Mathcalculate1"
                              << "Ctrl+Alt+M"
                              << "calculates a maths expression and replaces";
        QTest::newRow("blank lines") << "Insertpagebreak1"
                                     << "Ctrl+Alt+I"
                                     << "This INSERTS 10 blank lines as an aid to formatting.";
        QTest::newRow("page break")
            << "Insertnonvisiblepagebreak1"
            << "Ctrl+Alt+P"
            << "This inserts an INVISIBLE page break. You can see it in print preview but NOT in "
               "the editing screen.";
        QTest::newRow("select all") << "Selectall1"
                                    << "Ctrl+A"
                                    << "";
        QTest::newRow("toggle windows") << "T1"
                                        << "Ctrl+W"
                                        << "";
        QTest::newRow("switch") << "Switch1"
                                << "Ctrl+W"
                                << "";
        QTest::newRow("do it")
            << "DoIt1"
            << "Ctrl+D"
            << "Peform the merge. If EXACT placement of items on the form is required then "
               "remember to check the Insert/Overwrite item";
        QTest::newRow("overwrite")
            << "ToggleInsOverwrite1"
            << "Ctrl+T"
            << "Toggle Insert/overwrite for the merge. This needs to be ON when items must be "
               "placed exactly on a  line, especially if there are several on one line.";
    }

    void menuItems()
    {
        QFETCH(QString, name);
        QFETCH(QString, shortcut);
        QFETCH(QString, hint);
        QAction &item = form->MainMenu().Item(name);
        QCOMPARE(item.shortcut().toString(QKeySequence::PortableText), shortcut);
        QCOMPARE(item.statusTip(), hint);
    }

    void toolBarButtons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("longHint");
        QTest::addColumn<int>("width");
        QTest::newRow("open") << "OpenButton"
                              << "Open"
                              << "" << 25;
        QTest::newRow("save") << "SaveButton"
                              << "Save"
                              << "" << 25;
        QTest::newRow("print") << "PrintButton"
                               << "Print"
                               << "" << 25;
        QTest::newRow("page") << "SpeedButton2"
                              << "page Dialog"
                              << "page Dialog" << 25;
        QTest::newRow("undo") << "UndoButton"
                              << "Undo"
                              << "" << 25;
        QTest::newRow("paste") << "PasteButton"
                               << "Paste"
                               << "" << 25;
        const QString crlf = "Show or hide the line endings. They are shown on the screen only, "
                             "never saved or printed.";
        QTest::newRow("crlf") << "CRLFButton" << crlf << crlf << 41;
    }

    void toolBarButtons()
    {
        QFETCH(QString, name);
        QFETCH(QString, toolTip);
        QFETCH(QString, longHint);
        QFETCH(int, width);
        auto *button = form->SpeedBar->findChild<QToolButton *>(name);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), toolTip);
        QCOMPARE(button->statusTip(), longHint);
        QCOMPARE(button->size(), QSize(width, 25));
        QVERIFY(button->x() + button->width() <= 274 || button->x() >= 534);
    }

    void setDocumentName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("path") << "/home/user/letters/Smith.rtf"
                              << "Smith.rtf - Zarvel";
        QTest::newRow("two dots") << "/tmp/a.b.TEM"
                                  << "a.b.TEM - Zarvel";
        QTest::newRow("bare") << "Untitled"
                              << "Untitled - Zarvel";
        QTest::newRow("relative") << "sub/x.inf"
                                  << "x.inf - Zarvel";
    }

    void setDocumentName()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        form->SetDocumentName(name);
        QCOMPARE(form->DocumentName(), name);
        QCOMPARE(form->windowTitle(), caption);
    }

    void paneRules_data()
    {
        QTest::addColumn<bool>("documentShown");
        QTest::addColumn<bool>("informationShown");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<TPane>("ruleA");
        QTest::addColumn<TPane>("ruleB");
        QTest::addColumn<TPane>("ruleC");
        QTest::addColumn<TPane>("paste");
        const TPane D = TPane::Document;
        const TPane I = TPane::Information;
        QTest::newRow("start, document focused") << true << true << "doc" << D << I << D << D;
        QTest::newRow("start, focus elsewhere") << true << true << "other" << D << I << D << I;
        QTest::newRow("start, information focused") << true << true << "info" << D << I << D << I;
        QTest::newRow("document shown") << true << false << "doc" << D << D << D << D;
        QTest::newRow("document shown, focus elsewhere")
            << true << false << "other" << D << D << D << I;
        QTest::newRow("information shown") << false << true << "info" << I << I << I << I;
        QTest::newRow("information shown, focus elsewhere")
            << false << true << "other" << I << I << I << I;
        QTest::newRow("none shown") << false << false << "other" << I << D << I << I;
    }

    void paneRules()
    {
        QFETCH(bool, documentShown);
        QFETCH(bool, informationShown);
        QFETCH(QString, focus);
        QWidget window;
        auto *doc = new QLineEdit(&window);
        auto *info = new QLineEdit(&window);
        auto *other = new QLineEdit(&window);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        doc->setVisible(documentShown);
        info->setVisible(informationShown);
        QLineEdit *focused = focus == "doc" ? doc : focus == "info" ? info : other;
        focused->setFocus();
        QTRY_VERIFY(focused->hasFocus());

        const TPaneRules rules(*doc, *info);
        QTEST(rules.RuleA(), "ruleA");
        QTEST(rules.RuleB(), "ruleB");
        QTEST(rules.RuleC(), "ruleC");
        QTEST(rules.PasteRule(), "paste");
    }

    void hidingThePaneEndsItsActiveControl()
    {
        // The window is not active: focus is only remembered, as for a window not yet shown.
        QVERIFY(TPaneRules::IsActiveControl(*form->RichEditEx1));
        form->PaneRules().Show(TPane::Information);
        QVERIFY(!TPaneRules::IsActiveControl(*form->RichEditEx1));
        QCOMPARE(form->PaneByRuleA(), TPane::Information);
        QCOMPARE(form->PaneForPaste(), TPane::Information);
    }

    void ctrlWSwitchesPanes()
    {
        ShowActive();
        form->SetDocumentName(QStringLiteral("/tmp/letter.rtf"));
        QTest::keyClick(form.get(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(form->RichEditEx1->isHidden());
        QVERIFY(!form->RichEditEx2->isHidden());
        QTRY_VERIFY(form->RichEditEx2->hasFocus());
        QCOMPARE(form->windowTitle(), QStringLiteral("letter.rtf - Zarvel"));

        QTest::keyClick(form.get(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!form->RichEditEx1->isHidden());
        QVERIFY(form->RichEditEx2->isHidden());
        QTRY_VERIFY(form->RichEditEx1->hasFocus());
        QCOMPARE(form->windowTitle(), QStringLiteral("letter.rtf - Zarvel"));
    }

    void enterInTheInformationPaneStartsANewLine()
    {
        ShowActive();
        QTest::keyClick(form.get(), Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(form->RichEditEx2->hasFocus());
        QTest::keyClicks(form->RichEditEx2, "Name");
        QTest::keyClick(form->RichEditEx2, Qt::Key_Return);
        QTest::keyClicks(form->RichEditEx2, "Smith");
        QCOMPARE(form->RichEditEx2->WholeText(), std::string("Name\rSmith"));
    }

    void toggleWindowsItemSwitchesToo()
    {
        form->MainMenu().Item(QStringLiteral("T1")).trigger();
        QVERIFY(form->RichEditEx1->isHidden());
        QVERIFY(!form->RichEditEx2->isHidden());
        QVERIFY(TPaneRules::IsActiveControl(*form->RichEditEx2));
        form->MainMenu().Item(QStringLiteral("Switch1")).trigger();
        QVERIFY(!form->RichEditEx1->isHidden());
        QVERIFY(form->RichEditEx2->isHidden());
        QVERIFY(TPaneRules::IsActiveControl(*form->RichEditEx1));
    }

    void clipboardCommandsFollowThePaneRules()
    {
        ShowActive();
        form->RichEditEx1->SetSelectedText("document text");
        form->RichEditEx2->SetSelectedText("information text");

        // Information pane shown and focused: Copy and Paste act on it.
        form->T1Click();
        QTRY_VERIFY(form->RichEditEx2->hasFocus());
        form->RichEditEx2->SelectAll();
        form->MainMenu().Item(QStringLiteral("EditCopyItem")).trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("information text"));
        form->RichEditEx2->SetSelectionStart(0);
        form->EditPaste();
        QCOMPARE(form->RichEditEx2->WholeText(), std::string("information textinformation text"));
        QCOMPARE(form->RichEditEx1->WholeText(), std::string("document text"));

        // Back to the document pane: Cut takes its selection.
        form->T1Click();
        form->RichEditEx1->Select(0, 8);
        SpeedBarButton("CutButton")->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("document"));
        QCOMPARE(form->RichEditEx1->WholeText(), std::string(" text"));
    }

    void menuHintGoesToHintPanel()
    {
        QAction &item = form->MainMenu().Item(QStringLiteral("FileNewItem"));
        item.showStatusText(form->menuBar());
        QVERIFY(!form->Hintpanel->isHidden());
        QCOMPARE(form->Hintpanel->text(), QStringLiteral("Create a new file"));
        QCOMPARE(PanelColour(*form->Hintpanel), QColor(Qt::yellow));
        QVERIFY(form->Timer1->isActive());
        QVERIFY(form->StatusBar->currentMessage().isEmpty());
    }

    void emptyHintShowsNoYellowBar()
    {
        // Opening a menu with the mouse on the shown window: its title has no hint.
        ShowActive();
        const QMenu *menu = form->MainMenu().Window1;
        QTest::mouseClick(form->menuBar(), Qt::LeftButton, {},
                          form->menuBar()->actionGeometry(menu->menuAction()).center());
        QTRY_VERIFY(menu->isVisible());
        form->MainMenu().Item(QStringLiteral("Switch1")).showStatusText(form->menuBar());
        QVERIFY(form->Hintpanel->isHidden());
        QVERIFY(PanelColour(*form->Hintpanel) != QColor(Qt::yellow));
        QTest::keyClick(const_cast<QMenu *>(menu), Qt::Key_Escape);
        // A hint being shown is not wiped by an empty one.
        form->showhint(QStringLiteral("Create a new file"));
        form->MainMenu().Item(QStringLiteral("Switch1")).showStatusText(form->menuBar());
        QCOMPARE(form->Hintpanel->text(), QStringLiteral("Create a new file"));
    }

    void buttonHints()
    {
        ShowActive();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(SpeedBarButton("OpenButton"), &enter);
        QVERIFY(form->Hintpanel->isHidden());
        QApplication::sendEvent(SpeedBarButton("CRLFButton"), &enter);
        QVERIFY(form->Hintpanel->isVisible());
        QVERIFY(
            form->Hintpanel->text().startsWith(QStringLiteral("Show or hide the line endings.")));
    }

    void zoomEnlargesTheScreenOnlyAndIsRemembered()
    {
        ShowActive();
        TRichEditEx &pane = *form->RichEditEx1;
        pane.setFocus();
        QTest::keyClicks(&pane, QStringLiteral("Small print"));
        const QByteArray saved = pane.StreamOutBytes(TStreamFormat::SF_RTF);
        const int height = pane.cursorRect().height();
        const auto textWidth = [](const TRichEditEx &edit) {
            const QTextLayout *layout = edit.document()->begin().layout();
            return layout && layout->lineCount() > 0 ? layout->lineAt(0).naturalTextWidth() : 0.0;
        };
        const qreal width = textWidth(pane);
        QVERIFY(width > 0);
        const int undoSteps = pane.document()->availableUndoSteps();

        for (int press = 0; press < 5; ++press)
            QTest::keyClick(form.get(), Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(form->ScreenZoom().Percent(), 150);
        QTRY_VERIFY(pane.cursorRect().height() > height * 5 / 4);
        QCOMPARE(form->Hintpanel->text(), QStringLiteral("Zoom 150%"));
        // The text, its undo history and what is saved stay as they were.
        QCOMPARE(pane.StreamOutBytes(TStreamFormat::SF_RTF), saved);
        QCOMPARE(pane.document()->availableUndoSteps(), undoSteps);
        QVERIFY(!form->RichEditEx1->ModifiedFlag() || undoSteps > 0);
        QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(form->ScreenZoom().Percent(), 140);

        // A new window starts with the zoom the last one had; Ctrl+0 gives actual size.
        form.reset();
        form = std::make_unique<TMainForm>();
        ShowActive();
        QCOMPARE(form->ScreenZoom().Percent(), 140);
        form->RichEditEx1->SetWholeText("Small print");
        QTRY_VERIFY(textWidth(*form->RichEditEx1) > width * 5 / 4);
        QTest::keyClick(form.get(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(form->ScreenZoom().Percent(), 100);
        QTRY_COMPARE(textWidth(*form->RichEditEx1), width);
    }

    void timer1ClearsThePanelWithoutRestarting()
    {
        form->showhint(QStringLiteral("first"));
        QTest::qWait(1000);
        form->showhint(QStringLiteral("second"));
        // Still counting from the first hint.
        QVERIFY(form->Timer1->remainingTime() < 3500);
        QCOMPARE(form->Hintpanel->text(), QStringLiteral("second"));
        // A command's report gets the full time, so that it cannot vanish at once.
        QTest::qWait(1000);
        form->ShowReport(QStringLiteral("report"));
        QVERIFY(form->Timer1->remainingTime() > 3500);
        QTRY_VERIFY_WITH_TIMEOUT(!form->Timer1->isActive(), 60000);
        QVERIFY(form->Hintpanel->text().isEmpty());
        QVERIFY(PanelColour(*form->Hintpanel) != QColor(Qt::yellow));
        QVERIFY(!form->Hintpanel->isHidden());
    }

    void textMarginsFollowTheDocumentPane()
    {
        ShowActive();
        const auto expected = [this] {
            const QSize client = form->RichEditEx1->ClientSize();
            return QRect(6, 0, client.width() - 12, client.height());
        };
        QTRY_COMPARE(form->RichEditEx1->TextRect(), expected());
        form->resize(600, 400);
        QTRY_COMPARE(form->RichEditEx1->TextRect(), expected());
        QVERIFY(form->RichEditEx1->TextRect().width() < 600);
    }

    void toggleOverwriteMode()
    {
        QAction &item = form->MainMenu().Item(QStringLiteral("ToggleInsOverwrite1"));
        item.trigger();
        QVERIFY(form->OverwriteMode);
        QVERIFY(item.isChecked());
        form->ToggleInsOverwrite1Click();
        QVERIFY(!form->OverwriteMode);
        QVERIFY(!item.isChecked());
    }

private:
    QToolButton *SpeedBarButton(const char *name)
    {
        return form->SpeedBar->findChild<QToolButton *>(QString::fromLatin1(name));
    }
};

ZARVEL_TEST_MAIN(TestMainWindow)
#include "tst_mainform.moc"
