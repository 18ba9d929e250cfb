#include "app/TMainForm.h"

#include "app/AuxiliaryComponents.h"
#include "app/CommandRunner.h"
#include "app/ConfirmBox.h"
#include "app/DialogFolders.h"
#include "app/EAbort.h"
#include "app/TAssemblyCommands.h"
#include "app/TAutoRecovery.h"
#include "app/TEditingTools.h"
#include "app/TFileCommands.h"
#include "app/TFormatBar.h"
#include "app/TInsertTable.h"
#include "app/TMainMenu.h"
#include "app/TRuler.h"
#include "app/TScreenZoom.h"
#include "app/TSpeedBar.h"
#include "app/TZarvelApplication.h"
#include "assembly/AssemblyTexts.h"
#include "print/MainWindowPrinterSettings.h"
#include "print/TRichPrinter.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditOle.h"
#include "richedit/TRichEditStringsEx.h"
#include "widgets/TAboutBox.h"
#include "widgets/TDialogSeam.h"
#include "widgets/TMRUFileList.h"
#include "widgets/TOpenPreviewDialog.h"
#include "widgets/TTipDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Frame size of the window definition (812 x 612) less a typical frame.
constexpr int ClientWidth = 812 - 2 * 4;
constexpr int ClientHeight = 612 - 23 - 2 * 4;
// Allowed for the window manager's frame while its real size is not known yet.
const QMargins TypicalFrame(4, 23, 4, 4);
constexpr int TextMargin = 6;
constexpr int Timer1Interval = 4000;
constexpr int Timer2Interval = 1000;

QFont PixelFont(const QString &family, int pixelSize, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QColor MenuColour()
{
    return QApplication::palette("QMenu").color(QPalette::Window);
}

// The information pane and its label, told apart from the document pane at a glance.
QColor InformationTint()
{
    return QColor(255, 248, 220);
}

void SetPanelColour(QWidget &panel, const QColor &colour)
{
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, colour);
    panel.setPalette(palette);
}

// The panes the editing tools work on, by the window's pane rules.
TEditingTools::TPanes EditingPanes(TMainForm &form)
{
    return {form.DocumentPane(), form.InformationPane(),
            [&form]() -> TRichEditEx & { return form.Pane(form.PaneByRuleC()); },
            [&form](TRichEditEx &pane) {
                form.PaneRules().Show(&pane == form.RichEditEx1 ? TPane::Document
                                                                : TPane::Information);
            }};
}

} // namespace

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
    setProperty("HelpContext", 20);
    resize(ClientWidth, ClientHeight);
    FitOnScreen();

    CreateChildren();
    CreateComponents();
    FPaneRules = std::make_unique<TPaneRules>(*RichEditEx1, *RichEditEx2);
    FFileCommands = std::make_unique<TFileCommands>(*this);
    FEditingTools = std::make_unique<TEditingTools>(*this, EditingPanes(*this), msgpanel1);
    FEditingTools->ShowHint = [this](const QString &text) { ShowReport(text); };
    CreateMainMenu();
    CreateAuxiliaries();
    FAssemblyCommands = std::make_unique<TAssemblyCommands>(*this, *FFileCommands);
    ConnectButtons();
    SetUpPanes();
    FAutoRecovery = std::make_unique<TAutoRecovery>(
        *RichEditEx1, *RichEditEx2, [this](TPane pane) { return PaneName(pane); },
        [this](const QString &message) { showhint(message); });
    FScreenZoom = std::make_unique<TScreenZoom>(std::vector<QTextEdit *>{RichEditEx1, RichEditEx2});
    RichEditEx1->setFocus(Qt::OtherFocusReason);
    FormCreate();
}

TMainForm::~TMainForm() = default;

// --- Building the window -----------------------------------------------------------------

void TMainForm::CreateChildren()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    SpeedBar = new TSpeedBar(client);
    layout->addWidget(SpeedBar);

    Ruler = new TRuler(client);
    layout->addWidget(Ruler);

    layout->addWidget(CreatePaneArea(client), 1);

    // The formatting controls and the ruler act on the document pane.
    FormatBar = new TFormatBar(*SpeedBar, *RichEditEx1, *Ruler);
    FormatBar->RunCommand = [](const std::function<void()> &command) { RunCommand(command); };
    Ruler->OnIndentsChanged = [this] { SelectionChange(); };

    CreateHintpanel(client);
    layout->addWidget(Hintpanel);
    setCentralWidget(client);

    StatusBar = statusBar();
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setFixedHeight(20);

    CreateFloatingPanels(client);
}

QWidget *TMainForm::CreatePaneArea(QWidget *parent)
{
    // Both panes fill the same area; the document pane lies above the information pane.
    auto *area = new QWidget(parent);
    area->setObjectName(QStringLiteral("PaneArea"));
    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    // The two panes look alike: a label above them says which one is shown.
    PaneLabel = new QLabel(area);
    PaneLabel->setObjectName(QStringLiteral("PaneLabel"));
    PaneLabel->setContentsMargins(TextMargin, 1, TextMargin, 1);
    PaneLabel->setAutoFillBackground(true);
    PaneLabel->setTextFormat(Qt::PlainText);
    PaneLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    grid->addWidget(PaneLabel, 0, 0);
    RichEditEx2 = new TRichEditEx(area);
    RichEditEx2->setObjectName(QStringLiteral("RichEditEx2"));
    RichEditEx1 = new TRichEditEx(area);
    RichEditEx1->setObjectName(QStringLiteral("RichEditEx1"));
    grid->addWidget(RichEditEx2, 1, 0);
    grid->addWidget(RichEditEx1, 1, 0);
    grid->setRowStretch(1, 1);
    RichEditEx1->raise();
    // The document pane's margins beside its text are its own, not a view of the pane below.
    QPalette filled = RichEditEx1->palette();
    filled.setColor(QPalette::Window, filled.color(QPalette::Base));
    RichEditEx1->setPalette(filled);
    RichEditEx1->setAutoFillBackground(true);
    // The information pane keeps a tint of its own.
    QPalette tinted = RichEditEx2->palette();
    tinted.setColor(QPalette::Base, InformationTint());
    RichEditEx2->setPalette(tinted);
    return area;
}

void TMainForm::UpdatePaneLabel()
{
    if (!PaneLabel)
        return;
    const bool information = PaneByRuleA() == TPane::Information;
    const QString name =
        QFileInfo(PaneName(information ? TPane::Information : TPane::Document)).fileName();
    PaneLabel->setText(
        information
            ? QStringLiteral("Information file: %1  (headings on odd lines, values on even lines;"
                             " Ctrl+W shows the document)")
                  .arg(name)
            : QStringLiteral("Document: %1").arg(name));
    SetPanelColour(*PaneLabel, information ? InformationTint() : MenuColour());
}

void TMainForm::CreateHintpanel(QWidget *parent)
{
    Hintpanel = new QLabel(QStringLiteral("Hintpanel"), parent);
    Hintpanel->setObjectName(QStringLiteral("Hintpanel"));
    Hintpanel->setFixedHeight(25);
    // A long hint is cut off rather than widening the window.
    Hintpanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    Hintpanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Hintpanel->setLineWidth(2);
    Hintpanel->setContentsMargins(3, 0, 3, 0);
    Hintpanel->setAlignment(Qt::AlignCenter);
    Hintpanel->setFont(PixelFont(QStringLiteral("Times New Roman"), 11, true));
    Hintpanel->setAutoFillBackground(true);
    SetPanelColour(*Hintpanel, MenuColour());
    // The panel takes no input, yet its text must stay readable.
    QPalette palette = Hintpanel->palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText,
                     palette.color(QPalette::Active, QPalette::WindowText));
    Hintpanel->setPalette(palette);
    Hintpanel->setEnabled(false);
    Hintpanel->hide();
}

void TMainForm::CreateFloatingPanels(QWidget *parent)
{
    msgpanel1 = new QLabel(QString::fromLatin1(MergePanelCaption), parent);
    msgpanel1->setObjectName(QStringLiteral("msgpanel1"));
    msgpanel1->setGeometry(220, 220, 349, 25);
    msgpanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    msgpanel1->setAlignment(Qt::AlignCenter);
    msgpanel1->setFont(PixelFont(QStringLiteral("Modern"), 19, true));
    msgpanel1->setAutoFillBackground(true);
    SetPanelColour(*msgpanel1, QColor(0, 255, 0));
    msgpanel1->hide();

    ProgressBar1 = new QProgressBar(parent);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(128, 243, 525, 18);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();

    msgpanel1->raise();
    ProgressBar1->raise();
}

void TMainForm::CreateComponents()
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(Timer1Interval);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(Timer2Interval);
    connect(Timer2, &QTimer::timeout, this, &TMainForm::Timer2Timer);

    SaveDialog = new QFileDialog(this);
    SaveDialog->setObjectName(QStringLiteral("SaveDialog"));
    SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog->setFileMode(QFileDialog::AnyFile);
    // Save As asks its own question about an existing file; plain Save asks none.
    SaveDialog->setOption(QFileDialog::DontConfirmOverwrite);
    SaveDialog->setNameFilters({QStringLiteral("Rich Text Files (*.RTF)"),
                                QStringLiteral("Text Files (*.TXT)"),
                                QStringLiteral("Html File(*.htm,*.html) (*.hTM *.HTML)")});

    RichPrinter1 = new TRichPrinter(this);
    RichPrinter1->setObjectName(QStringLiteral("RichPrinter1"));
    ApplyMainWindowPrinterSettings(*RichPrinter1);

    OpenPreviewDialog1 = new TOpenPreviewDialog(this);
    OpenPreviewDialog1->setObjectName(QStringLiteral("OpenPreviewDialog1"));
    OpenPreviewDialog1->SetTitles({QStringLiteral("Default=")});
    OpenPreviewDialog1->SetShowPreview(true);
    OpenPreviewDialog1->SetWordWrapAndScale(false);
}

void TMainForm::CreateAuxiliaries()
{
    const TAuxiliaryComponents components = CreateAuxiliaryComponents(*this, *FMainMenu);
    MRUFiles1 = components.MRUFiles1;
    MRUFiles2 = components.MRUFiles2;
    Balloon1 = components.Balloon1;
    TipDialog1 = components.TipDialog1;
    // A file that cannot be loaded any more reaches the error display, as a menu command's
    // failure does.
    connect(MRUFiles1, &TMRUFileList::MRUItemClick, this, [this](const QString &fileName) {
        RunCommand([this, fileName] { MRUFiles1MRUItemClick(fileName); });
    });
    connect(MRUFiles2, &TMRUFileList::MRUItemClick, this, [this](const QString &fileName) {
        RunCommand([this, fileName] { MRUFiles2MRUItemClick(fileName); });
    });
}

void TMainForm::ConnectButtons()
{
    const std::pair<QToolButton *, Command> buttons[] = {
        {SpeedBar->OpenButton, &TMainForm::FileOpen},
        {SpeedBar->SaveButton, &TMainForm::FileSave},
        {SpeedBar->PrintButton, &TMainForm::FilePrint},
        {SpeedBar->SpeedButton2, &TMainForm::SpeedButton2Click},
        {SpeedBar->PrintPreviewbutton, &TMainForm::PrintPreviewbuttonClick},
        {SpeedBar->SpeedButton3, &TMainForm::SpeedButton3Click},
        {SpeedBar->UndoButton, &TMainForm::EditUndo},
        {SpeedBar->CutButton, &TMainForm::EditCut},
        {SpeedBar->CopyButton, &TMainForm::EditCopy},
        {SpeedBar->PasteButton, &TMainForm::EditPaste},
        {SpeedBar->CRLFButton, &TMainForm::CRLFButtonClick},
    };
    for (const auto &[button, handler] : buttons) {
        const Command command = handler;
        connect(button, &QToolButton::clicked, this, [this, command] { RunCommand(command); });
    }
}

void TMainForm::SetUpPanes()
{
    // The window's font in points rather than pixels (11 pixels at 96 dpi), so that text in
    // it is saved and printed as before and grows with the screen zoom.
    QFont paneFont = font();
    paneFont.setPointSizeF(8.25);
    for (TRichEditEx *pane : {RichEditEx1, RichEditEx2}) {
        pane->setFont(paneFont);
        pane->SetAutoURLDetect(TAutoURLDetect::adNone);
        pane->SetLanguage(1033);
        pane->SetShowSelectionBar(false);
        pane->SetInputFormat(TInputFormat::ifRTF);
        pane->SetOutputFormat(TOutputFormat::ofRTF);
    }

    RichEditEx1->SetScrollBars(TScrollStyle::ssVertical);
    RichEditEx1->SetHideScrollBars(false);
    RichEditEx1->SetWordWrap(true);
    RichEditEx1->SetWantReturns(true);
    RichEditEx1->SetPlainRTF(false);
    RichEditEx1->SetIncludeOLE(true);
    // Objects ask before anything opens, so they need the dialogs from the start.
    RichEditEx1->Ole()->DialogRunner = &TDialogSeam::Exec;
    // The tool bar and ruler follow the text and the caret, refreshed once per turn of the event
    // loop however many changes a keystroke makes.
    RichEditEx1->OnChange = [this](TCustomRichEditEx *) { FormatBar->ScheduleRefresh(); };
    RichEditEx1->OnSelectionChange = [this](TCustomRichEditEx *) { FormatBar->ScheduleRefresh(); };
    RichEditEx1->OnMouseDown = [this](TCustomRichEditEx *, Qt::MouseButton button,
                                      Qt::KeyboardModifiers shift, const QPoint &pos) {
        RichEditEx1MouseDown(button, shift, pos);
    };

    RichEditEx2->SetScrollBars(TScrollStyle::ssNone);
    RichEditEx2->SetWordWrap(false);
    // The information file is edited here too: Enter starts a new line.
    RichEditEx2->SetWantReturns(true);
    RichEditEx2->SetPlainRTF(true);
    RichEditEx2->SetIncludeOLE(false);
}

void TMainForm::FormCreate()
{
    // Hints of every window of the program come to the hint panel.
    qApp->installEventFilter(this);
    const QString startFolder = DialogFolders::StartFolder();
    OpenPreviewDialog1->setDirectory(startFolder);
    SaveDialog->setDirectory(startFolder);
    SetDocumentName(QStringLiteral("untitled"));
    FillFontNameBox();
    InitRulerTabs();
    SelectionChange();
    Timer2->start();
}

// --- Document name, panes and the save question -----------------------------------------

void TMainForm::SetDocumentName(const QString &fileName)
{
    FDocumentName = fileName;
    setWindowTitle(
        QStringLiteral("%1 - %2").arg(QFileInfo(fileName).fileName(), TZarvelApplication::Title()));
    UpdatePaneLabel();
}

TRichEditEx &TMainForm::Pane(TPane pane) const
{
    return pane == TPane::Document ? *RichEditEx1 : *RichEditEx2;
}

QString TMainForm::PaneName(TPane pane) const
{
    // The document name belongs to the current pane. The other pane is named by what is
    // known of it, so that the user can tell the two questions apart.
    // The information pane is known by its file wherever the caption points.
    if (pane == TPane::Information) {
        if (!InformationFileName.isEmpty())
            return InformationFileName;
        return pane == PaneByRuleB() ? FDocumentName : QStringLiteral("untitled");
    }
    if (!InformationFileName.isEmpty() && FDocumentName == InformationFileName)
        return QStringLiteral("untitled");
    return FDocumentName;
}

void TMainForm::AskSaveChanges()
{
    AskSaveChanges(PaneByRuleB());
}

void TMainForm::AskSaveChanges(TPane pane)
{
    AskSaveChanges(pane, PaneName(pane));
}

void TMainForm::AskSaveChanges(TPane pane, const QString &name)
{
    TRichEditEx &control = Pane(pane);
    if (control.Lines().LineCount() <= 0 || !control.ModifiedFlag())
        return;
    switch (AskYesNoCancel(this, QStringLiteral("Save changes to %1?").arg(name))) {
    case QMessageBox::Yes:
        // A save the user cancels keeps the changes: the command that asked stops.
        if (!FFileCommands->Save(pane, name))
            throw EAbort();
        return;
    case QMessageBox::No:
        return;
    default:
        throw EAbort();
    }
}

bool TMainForm::NeedsSaveQuestion(TPane pane) const
{
    TRichEditEx &control = Pane(pane);
    return control.Lines().LineCount() > 0 && control.ModifiedFlag();
}

void TMainForm::AskSaveChangesBeforeClose()
{
    const TPane current = PaneByRuleB();
    const TPane other = TPaneRules::Other(current);
    const QString otherName = PaneName(other);
    AskSaveChanges(current, PaneName(current));
    if (!NeedsSaveQuestion(other))
        return;
    // Show the pane the question is about.
    FPaneRules->Show(other);
    AskSaveChanges(other, otherName);
}

void TMainForm::FitOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                     frame.right() - client.right(), frame.bottom() - client.bottom());
    if (margins.isNull())
        margins = TypicalFrame;
    const QRect room = available.marginsRemoved(margins);
    const QSize size = this->size().boundedTo(room.size());
    if (size != this->size())
        resize(size);
    // Where the window was placed, it stays, as long as all of it is on the screen.
    const QRect wanted(frame.topLeft(), size.grownBy(margins));
    if (!testAttribute(Qt::WA_Moved) || !available.contains(wanted))
        move(available.topLeft());
}

void TMainForm::RefuseWriting(const QString &fileName) const
{
    FAssemblyCommands->RefuseWritingTable(fileName);
}

void TMainForm::ApplyTextMargins()
{
    const QSize client = RichEditEx1->ClientSize();
    const QRect rect(TextMargin, 0, qMax(0, client.width() - 2 * TextMargin), client.height());
    if (rect != RichEditEx1->TextRect())
        RichEditEx1->SetTextRect(rect);
}

// --- Running commands --------------------------------------------------------------------

void TMainForm::RunCommand(const std::function<void()> &command)
{
    ::RunCommand(command);
}

void TMainForm::RunCommand(Command command)
{
    RunCommand([this, command] { (this->*command)(); });
}

// --- File menu ---------------------------------------------------------------------------

void TMainForm::FileNew()
{
    FFileCommands->FileNew();
}

void TMainForm::FileOpen()
{
    FFileCommands->FileOpen();
}

void TMainForm::FileSave()
{
    const TPane pane = PaneByRuleA();
    FFileCommands->Save(pane, PaneName(pane));
}

void TMainForm::FileSaveAs()
{
    const TPane pane = PaneByRuleA();
    FFileCommands->SaveAs(pane, PaneName(pane));
}

void TMainForm::pageDialog1Click()
{
    RichPrinter1->PageSetupDialog();
}

void TMainForm::PrintPreviewbuttonClick()
{
    RichPrinter1->PreviewRichEdit(*RichEditEx1);
}

void TMainForm::FilePrint()
{
    QPrinter *printer = RichPrinter1->Printer();
    if (printer) {
        QPrintDialog dialog(printer, this);
        if (TDialogSeam::Exec(dialog) != QDialog::Accepted)
            return;
    }
    RichPrinter1->PrintRichEdit(*RichEditEx1, 1);
}

void TMainForm::FileExit()
{
    close();
}

// --- Edit menu ---------------------------------------------------------------------------

void TMainForm::EditUndo()
{
    // The pane the user sees is the one being edited.
    Pane(PaneByRuleC()).Undo();
}

void TMainForm::Redo1Click()
{
    Pane(PaneByRuleC()).Redo();
}

void TMainForm::EditCut()
{
    Pane(PaneByRuleA()).CutToClipboard();
}

void TMainForm::EditCopy()
{
    Pane(PaneByRuleA()).CopyToClipboard();
}

void TMainForm::EditPaste()
{
    Pane(PaneForPaste()).PasteFromClipboard();
}

void TMainForm::F1Click()
{
    FEditingTools->F1Click();
}

void TMainForm::R1Click()
{
    FEditingTools->R1Click();
}

void TMainForm::SelectFont()
{
    FormatBar->SelectFont();
}

void TMainForm::Mathcalculate1Click()
{
    FEditingTools->Mathcalculate1Click();
}

void TMainForm::Insertpagebreak1Click()
{
    FEditingTools->Insertpagebreak1Click();
}

void TMainForm::Insertnonvisiblepagebreak1Click()
{
    FEditingTools->Insertnonvisiblepagebreak1Click();
}

void TMainForm::InsertTable1Click()
{
    const TRichPrinter &printer = *RichPrinter1;
    const double textWidth = printer.PageWidth() - printer.MarginLeft() - printer.MarginRight();
    const double twipsPerUnit = printer.MeasureUnit() == muInches ? 1440.0 : 1440.0 / 25.4;
    TInsertTable::Run(this, *RichEditEx1, int(textWidth * twipsPerUnit));
}

void TMainForm::Selectall1Click()
{
    RichEditEx1->SelectAll();
}

void TMainForm::T1Click()
{
    if (PaneByRuleA() == TPane::Document)
        FPaneRules->ShowAndFocus(TPane::Information);
    else
        FPaneRules->ShowAndFocus(TPane::Document);
}

// --- Document Assembly menu --------------------------------------------------------------

void TMainForm::EditInformationFile1Click()
{
    FAssemblyCommands->EditInformationFile1Click();
}

void TMainForm::EditTemplateFile1Click()
{
    FAssemblyCommands->EditTemplateFile1Click();
}

void TMainForm::MRUFiles1MRUItemClick(const QString &fileName)
{
    FAssemblyCommands->MRUFiles1MRUItemClick(fileName);
}

void TMainForm::MRUFiles2MRUItemClick(const QString &fileName)
{
    FAssemblyCommands->MRUFiles2MRUItemClick(fileName);
}

void TMainForm::CheckTemplate1Click()
{
    FAssemblyCommands->CheckTemplate1Click();
}

void TMainForm::DoIt1Click()
{
    FAssemblyCommands->DoIt1Click();
}

void TMainForm::ToggleInsOverwrite1Click()
{
    OverwriteMode = !OverwriteMode;
    FMainMenu->Item(QStringLiteral("ToggleInsOverwrite1")).setChecked(OverwriteMode);
}

void TMainForm::RichEditEx1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers,
                                     const QPoint &pos)
{
    RunCommand([this, button, pos] { FAssemblyCommands->RichEditEx1MouseDown(button, pos); });
}

// --- Window menu -------------------------------------------------------------------------

void TMainForm::ZoomIn1Click()
{
    FScreenZoom->ZoomIn();
    ShowReport(QStringLiteral("Zoom %1%").arg(FScreenZoom->Percent()));
}

void TMainForm::ZoomOut1Click()
{
    FScreenZoom->ZoomOut();
    ShowReport(QStringLiteral("Zoom %1%").arg(FScreenZoom->Percent()));
}

void TMainForm::ActualSize1Click()
{
    FScreenZoom->SetPercent(100);
    ShowReport(QStringLiteral("Zoom %1%").arg(FScreenZoom->Percent()));
}

// --- Help menu and other windows ---------------------------------------------------------

void TMainForm::G1Click()
{
    if (FHelpWindow)
        FHelpWindow->show();
}

void TMainForm::TipoftheDay2Click()
{
    TipDialog1->RandomTips = true;
    TipDialog1->Execute();
}

void TMainForm::Credits1Click()
{
    if (FCreditsWindow)
        TDialogSeam::Exec(*FCreditsWindow);
}

void TMainForm::About1Click()
{
    TAboutBox box(this);
    TDialogSeam::Exec(box);
}

void TMainForm::SpeedButton2Click()
{
    pageDialog1Click();
}

void TMainForm::SpeedButton3Click()
{
    // Inserts an embedded object into the document pane.
    RichEditEx1->InsertObjectDialog();
    RichEditEx1->ObjectSelected();
}

void TMainForm::CRLFButtonClick()
{
    SpeedBar->CRLFButton->setChecked(FEditingTools->CRLFButtonClick());
}

// --- Tool bar and ruler ------------------------------------------------------------------

void TMainForm::FillFontNameBox()
{
    FormatBar->FillFontNameBox();
}

void TMainForm::InitRulerTabs()
{
    FormatBar->InitRulerTabs();
}

void TMainForm::SelectionChange()
{
    // Resizes arrive while the window is still being built.
    if (FormatBar)
        FormatBar->SelectionChange();
}

// --- Hints and timers --------------------------------------------------------------------

void TMainForm::showhint(const QString &hint)
{
    // A menu or control without a hint shows no empty yellow bar; a hint on show stays until
    // the timer clears it.
    if (hint.isEmpty())
        return;
    SetPanelColour(*Hintpanel, Qt::yellow);
    Hintpanel->setText(hint);
    Hintpanel->show();
    // A running timer keeps its count: the panel clears 4 s after the first of a run of hints.
    if (!Timer1->isActive())
        Timer1->start();
}

void TMainForm::ShowReport(const QString &text)
{
    showhint(text);
    // The answer to a command gets its full 4 s, however long ago a hint was shown.
    Timer1->start();
}

void TMainForm::Timer1Timer()
{
    Hintpanel->setText(QString());
    SetPanelColour(*Hintpanel, MenuColour());
    Timer1->stop();
}

void TMainForm::Timer2Timer() {}

// --- Events ------------------------------------------------------------------------------

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::StatusTip:
        showhint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (watched == RichEditEx1 || watched == RichEditEx2)
            QMetaObject::invokeMethod(this, &TMainForm::UpdatePaneLabel, Qt::QueuedConnection);
        break;
    case QEvent::Resize:
        if (watched == RichEditEx1)
            QMetaObject::invokeMethod(this, &TMainForm::ApplyTextMargins, Qt::QueuedConnection);
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    try {
        AskSaveChangesBeforeClose();
        event->accept();
        // An open preview window would keep the program running.
        RichPrinter1->ClosePreview();
    } catch (const EAbort &) {
        event->ignore();
    } catch (const std::exception &error) {
        // A failed save keeps the window and the changes.
        event->ignore();
        TZarvelApplication::ShowException(error);
    }
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FitOnScreen();
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    ApplyTextMargins();
    if (FormatBar)
        FormatBar->ScheduleRefresh();
}

void TMainForm::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    ApplyTextMargins();
}
