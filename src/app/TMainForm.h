#pragma once

#include "app/TMainFormHost.h"
#include "app/TPaneRules.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class QDialog;
class QFileDialog;
class QFrame;
class QLabel;
class QProgressBar;
class QStatusBar;
class QTimer;
class TAssemblyCommands;
class TAutoRecovery;
class TBalloon;
class TEditingTools;
class TFileCommands;
class TMainMenu;
class TMRUFileList;
class TOpenPreviewDialog;
class TRichPrinter;
class TRichEditEx;
class TSpeedBar;
class TFormatBar;
class TRuler;
class TScreenZoom;
class TTipDialog;

// The program's only document window: two stacked rich text panes (the document pane
// RichEditEx1 and the information pane RichEditEx2), the tool bar, the ruler, the hint panel and
// every command of the program as a menu item or tool bar button. The command classes reach it
// through TMainFormHost.
//
// Commands are small slots that call into the subsystems; each picks its pane through the pane
// rules (PaneByRuleA/B/C, PaneForPaste). Command slots may throw: EAbort stops a command
// silently, other exceptions reach the application's error display. Menu items and buttons run
// them through RunCommand, which does exactly that.
class TMainForm : public QMainWindow, public TMainFormHost
{
    Q_OBJECT
public:
    using Command = void (TMainForm::*)();

    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // --- Operations used by the other commands -------------------------------------------
    // Stores the name and sets the caption to "<file name part> - <application title>".
    void SetDocumentName(const QString &fileName) override;
    const QString &DocumentName() const { return FDocumentName; }

    // The save question before the pane chosen by rule B is discarded. Throws EAbort when the
    // user cancels (also when, after Yes, the save itself is cancelled).
    void AskSaveChanges();
    // The same question about one pane, named by the name that pane is known by.
    void AskSaveChanges(TPane pane) override;
    void AskSaveChanges(TPane pane, const QString &name);
    // The pane is modified and not empty: discarding it needs the save question.
    bool NeedsSaveQuestion(TPane pane) const;
    // Asks about every modified, non-empty pane, the current one first.
    void AskSaveChangesBeforeClose();

    // Keeps the document pane's text 6 pixels from both sides.
    void ApplyTextMargins();
    // Moves and, on a small screen, shrinks the window so that all of it, frame included, is on
    // the screen.
    void FitOnScreen();

    TRichEditEx &Pane(TPane pane) const override;
    TRichEditEx &DocumentPane() const override { return *RichEditEx1; }
    TRichEditEx &InformationPane() const override { return *RichEditEx2; }
    TPaneRules &PaneRules() const override { return *FPaneRules; }
    TPane PaneByRuleA() const override { return FPaneRules->RuleA(); }
    TPane PaneByRuleB() const { return FPaneRules->RuleB(); }
    TPane PaneByRuleC() const { return FPaneRules->RuleC(); }
    TPane PaneForPaste() const { return FPaneRules->PasteRule(); }
    // The name the save question uses for a pane: the document name for the current pane.
    QString PaneName(TPane pane) const override;

    // Runs a command as a menu item does: EAbort ends it silently, other failures are shown by
    // the application's error display.
    static void RunCommand(const std::function<void()> &command);
    void RunCommand(Command command);

    // Windows created at start-up after the main window and only shown afterwards.
    void SetHelpWindow(QWidget *window) { FHelpWindow = window; }
    void SetCreditsWindow(QDialog *window) { FCreditsWindow = window; }

    TMainMenu &MainMenu() const { return *FMainMenu; }
    TFileCommands &FileCommands() const { return *FFileCommands; }
    TAssemblyCommands &AssemblyCommands() const { return *FAssemblyCommands; }
    TEditingTools &EditingTools() const { return *FEditingTools; }
    TAutoRecovery &AutoRecovery() const { return *FAutoRecovery; }
    TScreenZoom &ScreenZoom() const { return *FScreenZoom; }

    // --- Children (names as in the window definition) ------------------------------------
    TSpeedBar *SpeedBar = nullptr;
    TRuler *Ruler = nullptr;
    TRichEditEx *RichEditEx2 = nullptr;
    TRichEditEx *RichEditEx1 = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *Hintpanel = nullptr;
    // Above the panes: which pane is shown and what it holds.
    QLabel *PaneLabel = nullptr;
    QLabel *msgpanel1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QFileDialog *SaveDialog = nullptr;
    TOpenPreviewDialog *OpenPreviewDialog1 = nullptr;
    TMRUFileList *MRUFiles1 = nullptr; // information files
    TMRUFileList *MRUFiles2 = nullptr; // templates
    TBalloon *Balloon1 = nullptr;
    TTipDialog *TipDialog1 = nullptr;
    TRichPrinter *RichPrinter1 = nullptr;

    // --- State shared with the document assembly commands --------------------------------
    QString InformationFileName;
    QString TemplateFileName;
    bool OverwriteMode = false;

    // --- Tool bar and ruler state -------------------------------------------------------
    // The formatting controls on SpeedBar (owned by it); FRefreshingToolbar is kept there, the
    // drag state (FDragOffset, FMarkerDragging) in Ruler.
    TFormatBar *FormatBar = nullptr;

public slots:
    // File menu
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void pageDialog1Click();
    void PrintPreviewbuttonClick();
    void FilePrint();
    void FileExit();
    // Edit menu
    void EditUndo();
    void Redo1Click();
    void EditCut();
    void EditCopy();
    void EditPaste();
    void F1Click();
    void R1Click();
    void SelectFont();
    void Mathcalculate1Click();
    void Insertpagebreak1Click();
    void Insertnonvisiblepagebreak1Click();
    void InsertTable1Click();
    void Selectall1Click();
    void T1Click();
    // Document Assembly menu
    void EditInformationFile1Click();
    void EditTemplateFile1Click();
    void CheckTemplate1Click();
    void DoIt1Click();
    void ToggleInsOverwrite1Click();
    void MRUFiles1MRUItemClick(const QString &fileName);
    void MRUFiles2MRUItemClick(const QString &fileName);
    // Window menu: the size of the text on the screen
    void ZoomIn1Click();
    void ZoomOut1Click();
    void ActualSize1Click();
    // Help menu
    void G1Click();
    void TipoftheDay2Click();
    void Credits1Click();
    void About1Click();
    // Tool bar buttons with handlers of their own
    void SpeedButton2Click();
    void SpeedButton3Click();
    void CRLFButtonClick();

    // Hints and timers
    void showhint(const QString &hint);
    // A command's short report in the hint panel, shown for the panel's full time.
    void ShowReport(const QString &text);
    void Timer1Timer();
    void Timer2Timer();

    // Tool bar and ruler follow the document pane
    void SelectionChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void CreateChildren();
    QWidget *CreatePaneArea(QWidget *parent);
    void CreateHintpanel(QWidget *parent);
    void CreateFloatingPanels(QWidget *parent);
    void CreateComponents();
    // The menu bar, whose items run the window's commands by name.
    void CreateMainMenu();
    // The recently used lists, the heading balloon and the tip of the day; a list's entry runs
    // as a command does.
    void CreateAuxiliaries();
    void ConnectButtons();
    void SetUpPanes();
    void FormCreate();
    void FillFontNameBox();
    void InitRulerTabs();
    // The label above the panes names the pane the user sees.
    void UpdatePaneLabel();
    void RichEditEx1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                              const QPoint &pos);

    // The window as the command classes see it.
    QWidget &Window() override { return *this; }
    void RefuseWriting(const QString &fileName) const override;
    const QString &InformationFile() const override { return InformationFileName; }
    void SetInformationFile(const QString &fileName) override { InformationFileName = fileName; }
    const QString &TemplateFile() const override { return TemplateFileName; }
    void SetTemplateFile(const QString &fileName) override { TemplateFileName = fileName; }
    bool MergeOverwrites() const override { return OverwriteMode; }
    TMRUFileList &RecentInformationFiles() const override { return *MRUFiles1; }
    TMRUFileList &RecentTemplates() const override { return *MRUFiles2; }
    TOpenPreviewDialog &OpenDialog() const override { return *OpenPreviewDialog1; }
    QFileDialog &SaveFileDialog() const override { return *SaveDialog; }
    TBalloon &HeadingBalloon() const override { return *Balloon1; }
    QLabel &MergePanel() const override { return *msgpanel1; }
    QProgressBar &MergeProgress() const override { return *ProgressBar1; }

    QString FDocumentName;
    std::unique_ptr<TPaneRules> FPaneRules;
    std::unique_ptr<TMainMenu> FMainMenu;
    std::unique_ptr<TFileCommands> FFileCommands;
    std::unique_ptr<TAssemblyCommands> FAssemblyCommands;
    std::unique_ptr<TEditingTools> FEditingTools;
    std::unique_ptr<TAutoRecovery> FAutoRecovery;
    std::unique_ptr<TScreenZoom> FScreenZoom;
    QWidget *FHelpWindow = nullptr;
    QDialog *FCreditsWindow = nullptr;
};
