#include "app/TFormatBar.h"

#include "app/TRuler.h"
#include "richedit/TParaAttributesEx.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TTextAttributesEx.h"
#include "widgets/TDialogSeam.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

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

    FontName = new QComboBox(&speedBar);
    FontName->setObjectName(QStringLiteral("FontName"));
    FontName->setEditable(true);
    FontName->setInsertPolicy(QComboBox::NoInsert);
    FontName->setGeometry(274, ButtonTop, 131, ButtonSize);
    connect(FontName, &QComboBox::currentIndexChanged, this,
            [this] { Run([this] { FontNameChange(); }); });
    connect(FontName, &QComboBox::editTextChanged, this,
            [this] { Run([this] { FontNameChange(); }); });

    FontSize = new QLineEdit(&speedBar);
    FontSize->setObjectName(QStringLiteral("FontSize"));
    FontSize->setGeometry(405, ButtonTop, 31, ButtonSize);
    FontSize->setText(QStringLiteral("0"));
    connect(FontSize, &QLineEdit::textChanged, this, [this] { Run([this] { FontSizeChange(); }); });

    UpDown1 = new QWidget(&speedBar);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(436, ButtonTop, 15, ButtonSize);
    auto *arrows = new QVBoxLayout(UpDown1);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    for (const auto &[name, arrow, delta] :
         {std::tuple{"UpDown1Up", Qt::UpArrow, 1}, std::tuple{"UpDown1Down", Qt::DownArrow, -1}}) {
        auto *button = new QToolButton(UpDown1);
        button->setObjectName(QString::fromLatin1(name));
        button->setArrowType(arrow);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        arrows->addWidget(button);
        const int step = delta;
        connect(button, &QToolButton::clicked, this, [this, step] { StepUpDown(step); });
    }

    BoldButton =
        AddToggle(speedBar, "BoldButton", 457, QStringLiteral("Bold"), 1, QStringLiteral("B"));
    QFont bold = BoldButton->font();
    bold.setBold(true);
    BoldButton->setFont(bold);
    connect(BoldButton, &QToolButton::clicked, this,
            [this] { Run([this] { BoldButtonClick(); }); });
    ItalicButton =
        AddToggle(speedBar, "ItalicButton", 483, QStringLiteral("Italic"), 4, QStringLiteral("I"));
    QFont italic = ItalicButton->font();
    italic.setItalic(true);
    ItalicButton->setFont(italic);
    connect(ItalicButton, &QToolButton::clicked, this,
            [this] { Run([this] { ItalicButtonClick(); }); });
    UnderlineButton = AddToggle(speedBar, "UnderlineButton", 509, QStringLiteral("Underline"), 5,
                                QStringLiteral("U"));
    QFont underline = UnderlineButton->font();
    underline.setUnderline(true);
    UnderlineButton->setFont(underline);
    connect(UnderlineButton, &QToolButton::clicked, this,
            [this] { Run([this] { UnderlineButtonClick(); }); });

    colorbutton = new QPushButton(QStringLiteral("Colour"), &speedBar);
    colorbutton->setObjectName(QStringLiteral("colorbutton"));
    colorbutton->setGeometry(588, ButtonTop, 49, ButtonSize);
    colorbutton->setFocusPolicy(Qt::NoFocus);
    SetHintOf(*colorbutton, QStringLiteral("Select colour/color for selected text"));
    connect(colorbutton, &QPushButton::clicked, this,
            [this] { Run([this] { colorbuttonClick(); }); });

    Edit1 = new QLineEdit(&speedBar);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::NoFocus);
    Edit1->setGeometry(636, ButtonTop + 2, 25, 21);

    LeftAlign = AddToggle(speedBar, "LeftAlign", 669, QStringLiteral("Align Left"), AlignGroup,
                          QStringLiteral("\u2190"));
    LeftAlign->setProperty("Tag", int(taLeftJustify));
    CenterAlign = AddToggle(speedBar, "CenterAlign", 695, QStringLiteral("Center"), AlignGroup,
                            QStringLiteral("\u2194"));
    CenterAlign->setProperty("Tag", int(taCenter));
    RightAlign = AddToggle(speedBar, "RightAlign", 721, QStringLiteral("Align Right"), AlignGroup,
                           QStringLiteral("\u2192"));
    RightAlign->setProperty("Tag", int(taRightJustify));
    for (QToolButton *button : {LeftAlign, CenterAlign, RightAlign})
        connect(button, &QToolButton::clicked, this,
                [this, button] { Run([this, button] { AlignButtonClick(*button); }); });
    BulletsButton = AddToggle(speedBar, "BulletsButton", 748, QStringLiteral("Bullets"), 3,
                              QStringLiteral("\u2022"));
    connect(BulletsButton, &QToolButton::clicked, this,
            [this] { Run([this] { BulletsButtonClick(); }); });

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
}

TFormatBar::~TFormatBar()
{
    // The ruler may outlive the bar: it must not call back into it.
    if (FRulerAlive)
        FRuler.OnIndentsChanged = nullptr;
}

QToolButton *TFormatBar::AddToggle(QWidget &bar, const char *name, int left, const QString &hint,
                                   int group, const QString &glyph)
{
    auto *button = new QToolButton(&bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, ButtonTop, ButtonSize, ButtonSize);
    button->setText(glyph);
    button->setProperty(GroupProperty, group);
    SetHintOf(*button, hint);
    // A pressed button releases the others of its group; pressing a down button releases it.
    connect(button, &QToolButton::toggled, this, [this, button](bool down) {
        if (down)
            SetDown(*button);
    });
    return button;
}

void TFormatBar::SetDown(QToolButton &button)
{
    const QVariant group = button.property(GroupProperty);
    for (QToolButton *other : {BoldButton, ItalicButton, UnderlineButton, LeftAlign, CenterAlign,
                               RightAlign, BulletsButton}) {
        if (other && other != &button && other->property(GroupProperty) == group)
            other->setChecked(false);
    }
    button.setChecked(true);
}

void TFormatBar::Run(const std::function<void()> &handler)
{
    if (RunCommand)
        RunCommand(handler);
    else
        handler();
}

TTextAttributesEx &TFormatBar::CurrentAttributes() const
{
    if (FPane.SelectionLength() > 0)
        return FPane.SelectionAttributes();
    return FPane.DefaultAttributes();
}

// --- Refresh ------------------------------------------------------------------------------------

void TFormatBar::SelectionChange()
{
    struct RefreshScope
    {
        bool &Flag;
        explicit RefreshScope(bool &flag) : Flag(flag) { Flag = true; }
        ~RefreshScope() { Flag = false; }
    } scope(FRefreshingToolbar);

    TParaAttributesEx &paragraph = FPane.ParagraphAttributes();
    FRuler.PlaceMarkers(paragraph.FirstIndent(), paragraph.LeftIndent(), paragraph.RightIndent());

    TTextAttributesEx &selection = FPane.SelectionAttributes();
    const unsigned style = selection.Style();
    BoldButton->setChecked(style & TFontStyle::fsBold);
    ItalicButton->setChecked(style & TFontStyle::fsItalic);
    UnderlineButton->setChecked(style & TFontStyle::fsUnderline);
    BulletsButton->setChecked(paragraph.Numbering() == nsBullet);

    FontSize->setText(QString::number(selection.Size()));
    const QString name = FPane.ToWide(selection.Name());
    const int index = FontName->findText(name, Qt::MatchFixedString);
    if (index >= 0) {
        FontName->setCurrentIndex(index);
    } else {
        FontName->setCurrentIndex(-1);
        FontName->setEditText(name);
    }

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

// --- Handlers -----------------------------------------------------------------------------------

void TFormatBar::FontNameChange()
{
    if (FRefreshingToolbar)
        return;
    const int index = FontName->currentIndex();
    // Text typed into the box selects no entry.
    if (index < 0 || FontName->itemText(index) != FontName->currentText())
        return;
    CurrentAttributes().SetName(FPane.ToAnsi(FontName->itemText(index)));
}

void TFormatBar::FontSizeChange()
{
    if (FRefreshingToolbar)
        return;
    const QString text = FontSize->text();
    bool ok = false;
    const int size = text.toInt(&ok, 10);
    if (!ok)
        throw std::runtime_error(
            QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    CurrentAttributes().SetSize(size);
}

void TFormatBar::StepUpDown(int delta)
{
    bool ok = false;
    const int current = FontSize->text().toInt(&ok);
    if (ok)
        FUpDownPosition = std::clamp(current, UpDownMin, UpDownMax);
    FUpDownPosition = std::clamp(FUpDownPosition + delta, UpDownMin, UpDownMax);
    FontSize->setText(QString::number(FUpDownPosition));
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
}
