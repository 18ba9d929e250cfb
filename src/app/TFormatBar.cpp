#include "app/TFormatBar.h"

#include "app/BundledIcons.h"
#include "app/TRuler.h"
#include "richedit/TParaAttributesEx.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TTextAttributesEx.h"
#include "widgets/TDialogSeam.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>
#include <stdexcept>

namespace {
constexpr int BarHeight = 32;
constexpr int ButtonSize = 25;
constexpr int ButtonTop = (BarHeight - ButtonSize) / 2;
constexpr int MaxFaceName = 32;
// Toggle buttons of one group exclude each other.
const char *const GroupProperty = "FormatGroup";
constexpr int AlignGroup = 2;
// The size box's list.
constexpr int CommonSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

void SetHintOf(QWidget &widget, const QString &hint)
{
    widget.setToolTip(hint);
    widget.setStatusTip(hint);
}

QFont PixelFont(const QString &family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

void ShowError(const std::exception &error)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zarvel"),
                    QString::fromUtf8(error.what()), QMessageBox::Ok);
    TDialogSeam::Exec(box);
}
} // namespace

TFormatBar::TFormatBar(QWidget &speedBar, TRichEditEx &pane, TRuler &ruler)
    : QObject(&speedBar), FPane(pane), FRuler(ruler), FRulerAlive(&ruler)
{
    setObjectName(QStringLiteral("FormatBar"));
    RunCommand = [](const std::function<void()> &command) {
        try {
            command();
        } catch (const std::exception &error) {
            ShowError(error);
        }
    };

    CreateFontBoxes(speedBar);
    CreateStyleButtons(speedBar);

    colorbutton = new QPushButton(&speedBar);
    colorbutton->setObjectName(QStringLiteral("colorbutton"));
    colorbutton->setGeometry(588, ButtonTop, 48, ButtonSize);
    colorbutton->setFocusPolicy(Qt::NoFocus);
    // An icon in place of the caption "Colour", which the button's width cannot show beside
    // it; the icon's bar shows the colour chosen last.
    colorbutton->setAccessibleName(QStringLiteral("Colour"));
    colorbutton->setIcon(ColourIcon(Qt::black));
    colorbutton->setIconSize(QSize(16, 16));
    SetHintOf(*colorbutton, QStringLiteral("Select colour/color for selected text"));
    connect(colorbutton, &QPushButton::clicked, this,
            [this] { Run([this] { colorbuttonClick(); }); });

    Edit1 = new QLineEdit(&speedBar);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::NoFocus);
    Edit1->setGeometry(636, ButtonTop + 2, 25, 21);

    CreateParagraphButtons(speedBar);

    QWidget *window = speedBar.window();
    CD = new QColorDialog(window);
    CD->setObjectName(QStringLiteral("CD"));
    CD->setOption(QColorDialog::DontUseNativeDialog);
    FontDialog1 = new QFontDialog(window);
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
    FontDialog1->setOption(QFontDialog::DontUseNativeDialog);
    FontDialog1->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));

    FRuler.SetPane(&FPane);
    FRuler.OnIndentsChanged = [this] { SelectionChange(); };
    // A move of the caret resets the format of new typing, so it counts as well.
    const auto changed = [this] { ++FPaneChanges; };
    connect(FPane.document(), &QTextDocument::contentsChange, this, changed);
    connect(&FPane, &QTextEdit::cursorPositionChanged, this, changed);
}

void TFormatBar::CreateFontBoxes(QWidget &bar)
{
    FontName = AddBox(bar, "FontName", 274, 131, &TFormatBar::FontNameChosen,
                      &TFormatBar::FontNameChange, FFontNameEdited);

    // The size box takes the room of an edit field and its up-down buttons.
    FontSize = AddBox(bar, "FontSize", 405, 46, &TFormatBar::FontSizeChosen,
                      &TFormatBar::FontSizeChange, FFontSizeEdited);
    // A typed "1" must stay 1 and not be completed to 10.
    FontSize->setCompleter(nullptr);
    for (const int size : CommonSizes)
        FontSize->addItem(QString::number(size));
    FontSize->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,4}")), FontSize));
    FontSize->setEditText(QStringLiteral("0"));
}

QComboBox *TFormatBar::AddBox(QWidget &bar, const char *name, int left, int width,
                              void (TFormatBar::*chosen)(int), void (TFormatBar::*typed)(),
                              bool &edited)
{
    auto *box = new QComboBox(&bar);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setGeometry(left, ButtonTop, width, ButtonSize);
    connect(box, &QComboBox::activated, this,
            [this, chosen](int index) { Run([this, chosen, index] { (this->*chosen)(index); }); });
    connect(box->lineEdit(), &QLineEdit::textEdited, this, [&edited] { edited = true; });
    connect(box->lineEdit(), &QLineEdit::returnPressed, this,
            [this, typed] { Run([this, typed] { (this->*typed)(); }); });
    // Leaving the box is seen in eventFilter.
    box->installEventFilter(this);
    return box;
}

void TFormatBar::CreateStyleButtons(QWidget &bar)
{
    BoldButton = AddToggle(bar, "BoldButton", 457, QStringLiteral("Bold"), 1, "bold");
    connect(BoldButton, &QToolButton::clicked, this,
            [this] { Run([this] { BoldButtonClick(); }); });
    ItalicButton = AddToggle(bar, "ItalicButton", 483, QStringLiteral("Italic"), 4, "italic");
    connect(ItalicButton, &QToolButton::clicked, this,
            [this] { Run([this] { ItalicButtonClick(); }); });
    UnderlineButton =
        AddToggle(bar, "UnderlineButton", 509, QStringLiteral("Underline"), 5, "underline");
    connect(UnderlineButton, &QToolButton::clicked, this,
            [this] { Run([this] { UnderlineButtonClick(); }); });

    BoldAction = AddShortcut(*BoldButton, Qt::CTRL | Qt::Key_B);
    ItalicAction = AddShortcut(*ItalicButton, Qt::CTRL | Qt::Key_I);
    UnderlineAction = AddShortcut(*UnderlineButton, Qt::CTRL | Qt::Key_U);
}

void TFormatBar::CreateParagraphButtons(QWidget &bar)
{
    LeftAlign =
        AddToggle(bar, "LeftAlign", 669, QStringLiteral("Align Left"), AlignGroup, "alignleft");
    LeftAlign->setProperty("Tag", int(taLeftJustify));
    CenterAlign =
        AddToggle(bar, "CenterAlign", 695, QStringLiteral("Center"), AlignGroup, "aligncenter");
    CenterAlign->setProperty("Tag", int(taCenter));
    RightAlign =
        AddToggle(bar, "RightAlign", 721, QStringLiteral("Align Right"), AlignGroup, "alignright");
    RightAlign->setProperty("Tag", int(taRightJustify));
    for (QToolButton *button : {LeftAlign, CenterAlign, RightAlign})
        connect(button, &QToolButton::clicked, this,
                [this, button] { Run([this, button] { AlignButtonClick(*button); }); });
    BulletsButton = AddToggle(bar, "BulletsButton", 748, QStringLiteral("Bullets"), 3, "bullets");
    connect(BulletsButton, &QToolButton::clicked, this,
            [this] { Run([this] { BulletsButtonClick(); }); });
}

TFormatBar::~TFormatBar()
{
    // The ruler may outlive the bar: it must not call back into it.
    if (FRulerAlive)
        FRuler.OnIndentsChanged = nullptr;
}

QToolButton *TFormatBar::AddToggle(QWidget &bar, const char *name, int left, const QString &hint,
                                   int group, const char *icon)
{
    auto *button = new QToolButton(&bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, ButtonTop, ButtonSize, ButtonSize);
    button->setIcon(BundledIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(16, 16));
    button->setProperty(GroupProperty, group);
    SetHintOf(*button, hint);
    // A pressed button releases the others of its group; pressing a down button releases it.
    connect(button, &QToolButton::toggled, this, [this, button](bool down) {
        if (down)
            SetDown(*button);
    });
    // The button toggles from what the pane shows, even when its refresh is still to come.
    connect(button, &QToolButton::pressed, this, &TFormatBar::FlushRefresh);
    return button;
}

QAction *TFormatBar::AddShortcut(QToolButton &button, const QKeySequence &key)
{
    auto *action = new QAction(button.toolTip(), this);
    action->setShortcut(key);
    // Only while the user works in the document pane or on the tool bar: the information pane
    // holds plain text.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    FPane.addAction(action);
    if (QWidget *bar = button.parentWidget())
        bar->addAction(action);
    connect(action, &QAction::triggered, &button, &QToolButton::click);
    return action;
}

void TFormatBar::SetDown(QToolButton &button)
{
    const QVariant group = button.property(GroupProperty);
    for (QToolButton *other : {BoldButton, ItalicButton, UnderlineButton, LeftAlign, CenterAlign,
                               RightAlign, BulletsButton}) {
        if (other && other != &button && other->property(GroupProperty) == group)
            SetChecked(*other, false);
    }
    SetChecked(button, true);
}

void TFormatBar::SetChecked(QToolButton &button, bool down)
{
    if (button.isChecked() != down)
        button.setChecked(down);
}

void TFormatBar::Run(const std::function<void()> &handler)
{
    if (RunCommand)
        RunCommand(handler);
    else
        handler();
    // Format changes raise no change event of the pane; a refused or cancelled change must
    // show the pane's format again.
    ScheduleRefresh();
}

bool TFormatBar::RepeatsLastCommit(const TBoxCommit &last, const QString &value) const
{
    return last.Value == value && last.Start == FPane.SelectionStart() &&
           last.Length == FPane.SelectionLength() && last.Changes == FPaneChanges;
}

void TFormatBar::RememberCommit(TBoxCommit &last, const QString &value) const
{
    last = {value, FPane.SelectionStart(), FPane.SelectionLength(), FPaneChanges};
}

TTextAttributesEx &TFormatBar::CurrentAttributes() const
{
    if (FPane.SelectionLength() > 0)
        return FPane.SelectionAttributes();
    return FPane.DefaultAttributes();
}

// --- Refresh ------------------------------------------------------------------------------------

void TFormatBar::ScheduleRefresh()
{
    if (FRefreshPending)
        return;
    FRefreshPending = true;
    QMetaObject::invokeMethod(this, &TFormatBar::FlushRefresh, Qt::QueuedConnection);
}

void TFormatBar::FlushRefresh()
{
    if (FRefreshPending)
        SelectionChange();
}

void TFormatBar::SelectionChange()
{
    struct RefreshScope
    {
        bool &Flag;
        const bool Outer;
        explicit RefreshScope(bool &flag) : Flag(flag), Outer(flag) { Flag = true; }
        ~RefreshScope() { Flag = Outer; }
    } scope(FRefreshingToolbar);
    FRefreshPending = false;

    TParaAttributesEx &paragraph = FPane.ParagraphAttributes();
    FRuler.PlaceMarkers(paragraph.FirstIndent(), paragraph.LeftIndent(), paragraph.RightIndent());

    TTextAttributesEx &selection = FPane.SelectionAttributes();
    const unsigned style = selection.Style();
    SetChecked(*BoldButton, style & TFontStyle::fsBold);
    SetChecked(*ItalicButton, style & TFontStyle::fsItalic);
    SetChecked(*UnderlineButton, style & TFontStyle::fsUnderline);
    SetChecked(*BulletsButton, paragraph.Numbering() == nsBullet);

    // What the user is typing into a box stays until it is applied or the box is left.
    if (!FFontSizeEdited || !FontSize->hasFocus())
        ShowFontSize(selection.Size());
    if (!FFontNameEdited || !FontName->hasFocus())
        ShowFontName(FPane.ToWide(selection.Name()));

    switch (paragraph.Alignment()) {
    case taLeftJustify:
        SetDown(*LeftAlign);
        break;
    case taRightJustify:
        SetDown(*RightAlign);
        break;
    case taCenter:
        SetDown(*CenterAlign);
        break;
    default:
        break;
    }
}

void TFormatBar::ShowFontSize(int size)
{
    FFontSizeEdited = false;
    ShowInBox(*FontSize, QString::number(size));
}

void TFormatBar::ShowFontName(const QString &name)
{
    FFontNameEdited = false;
    ShowInBox(*FontName, name);
}

void TFormatBar::ShowInBox(QComboBox &box, const QString &text)
{
    // The list must open on the entry shown, so that picking it applies it.
    const int current = box.currentIndex();
    if (current >= 0 && box.currentText() == text && box.itemText(current) == text)
        return;
    const int index = box.findText(text, Qt::MatchFixedString);
    box.setCurrentIndex(index);
    if (index < 0 || box.currentText() != text)
        box.setEditText(index < 0 ? text : box.itemText(index));
}

void TFormatBar::FillFontNameBox()
{
    QStringList names;
    for (const QString &family : QFontDatabase::families()) {
        const QString name = family.left(MaxFaceName);
        if (!names.contains(name))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    const bool refreshing = FRefreshingToolbar;
    FRefreshingToolbar = true;
    const QString text = FontName->currentText();
    FontName->clear();
    FontName->addItems(names);
    FontName->setCurrentIndex(FontName->findText(text, Qt::MatchFixedString));
    FontName->setEditText(text);
    FRefreshingToolbar = refreshing;
}

void TFormatBar::InitRulerTabs()
{
    FRuler.InitRulerTabs();
}

bool TFormatBar::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving a box applies what was typed into it; opening its list does not leave it.
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        if (watched == FontSize && FFontSizeEdited)
            Run([this] { FontSizeChange(); });
        else if (watched == FontName && FFontNameEdited)
            Run([this] { FontNameChange(); });
    }
    return QObject::eventFilter(watched, event);
}

// --- Handlers -----------------------------------------------------------------------------------

void TFormatBar::FontNameChange()
{
    if (FRefreshingToolbar)
        return;
    FFontNameEdited = false;
    // Text that names no entry of the list changes nothing.
    const int index = FontName->findText(FontName->currentText(), Qt::MatchFixedString);
    if (index >= 0)
        ApplyFontName(FontName->itemText(index));
}

void TFormatBar::FontNameChosen(int index)
{
    if (FRefreshingToolbar || index < 0)
        return;
    FFontNameEdited = false;
    ApplyFontName(FontName->itemText(index));
}

void TFormatBar::ApplyFontName(const QString &name)
{
    if (RepeatsLastCommit(FLastNameCommit, name))
        return;
    CurrentAttributes().SetName(FPane.ToAnsi(name));
    RememberCommit(FLastNameCommit, name);
}

void TFormatBar::FontSizeChange()
{
    if (FRefreshingToolbar)
        return;
    FFontSizeEdited = false;
    bool ok = false;
    const int size = FontSize->currentText().toInt(&ok, 10);
    if (ok && size >= 1 && size <= MaxFontSize)
        ApplyFontSize(size);
}

void TFormatBar::FontSizeChosen(int index)
{
    if (FRefreshingToolbar || index < 0)
        return;
    FFontSizeEdited = false;
    ApplyFontSize(FontSize->itemText(index).toInt());
}

void TFormatBar::ApplyFontSize(int size)
{
    const QString value = QString::number(size);
    if (RepeatsLastCommit(FLastSizeCommit, value))
        return;
    CurrentAttributes().SetSize(size);
    RememberCommit(FLastSizeCommit, value);
}

void TFormatBar::BoldButtonClick()
{
    if (FRefreshingToolbar)
        return;
    CurrentAttributes().SetBold(BoldButton->isChecked());
}

void TFormatBar::ItalicButtonClick()
{
    if (FRefreshingToolbar)
        return;
    CurrentAttributes().SetItalic(ItalicButton->isChecked());
}

void TFormatBar::UnderlineButtonClick()
{
    if (FRefreshingToolbar)
        return;
    TTextAttributesEx &attributes = CurrentAttributes();
    const unsigned style = attributes.Style();
    attributes.SetStyle(UnderlineButton->isChecked() ? style | TFontStyle::fsUnderline
                                                     : style & ~TFontStyle::fsUnderline);
}

void TFormatBar::colorbuttonClick()
{
    if (FRefreshingToolbar)
        return;
    if (TDialogSeam::Exec(*CD) != QDialog::Accepted)
        return;
    const QColor color = CD->currentColor();
    QPalette buttonPalette = colorbutton->palette();
    buttonPalette.setColor(QPalette::ButtonText, color);
    colorbutton->setPalette(buttonPalette);
    colorbutton->setIcon(ColourIcon(color));
    QPalette swatch = Edit1->palette();
    swatch.setColor(QPalette::Base, color);
    Edit1->setPalette(swatch);
    CurrentAttributes().SetColor(TColors::FromQColor(color));
}

void TFormatBar::AlignButtonClick(QToolButton &sender)
{
    if (FRefreshingToolbar)
        return;
    FPane.ParagraphAttributes().SetAlignment(sender.property("Tag").toInt());
}

void TFormatBar::BulletsButtonClick()
{
    if (FRefreshingToolbar)
        return;
    FPane.ParagraphAttributes().SetNumbering(BulletsButton->isChecked() ? nsBullet : nsNone);
}

void TFormatBar::SelectFont()
{
    QFont font = FontDialog1->currentFont();
    FPane.SelectionAttributes().CopyTo(font);
    FontDialog1->setCurrentFont(font);
    if (TDialogSeam::Exec(*FontDialog1) == QDialog::Accepted)
        CurrentAttributes().CopyFrom(FontDialog1->currentFont());
    FPane.setFocus();
    ScheduleRefresh();
}
