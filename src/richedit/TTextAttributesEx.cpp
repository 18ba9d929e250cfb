#include "richedit/TTextAttributesEx.h"

#include "richedit/TRichEditHost.h"
#include "rtf/TRtfFormatProperties.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

// Attributes that Qt's character format has no field for; kept so that they read back as
// written.
enum ExtraProperty : int {
    LanguageProperty = QTextFormat::UserProperty + 0x5B00,
    OffsetTwips,
    KerningTwips,
    UnderlineKind,
    AnimationProperty,
    OutlineProperty,
    ShadowProperty,
    EmbossProperty,
    ImprintProperty,
};

constexpr int TwipsPerPoint = 20;
constexpr int MaxFaceName = 31;

// Round half to even, as the twips conversions do.
int RoundTwips(double points)
{
    return static_cast<int>(std::nearbyint(points * TwipsPerPoint));
}

QString ClassNameOf(const QObject &object)
{
    return QString::fromLatin1(object.metaObject()->className());
}

[[noreturn]] void CannotAssign(const QString &source, const QString &target)
{
    throw std::runtime_error(
        QStringLiteral("Cannot assign a %1 to a %2").arg(source, target).toStdString());
}

// Format-only changes raise no change event of the control.
class FormatChangeScope
{
public:
    explicit FormatChangeScope(std::function<void(int)> step) : FStep(std::move(step)) { FStep(1); }
    ~FormatChangeScope() { FStep(-1); }
    FormatChangeScope(const FormatChangeScope &) = delete;
    FormatChangeScope &operator=(const FormatChangeScope &) = delete;

private:
    std::function<void(int)> FStep;
};
} // namespace

using namespace TColors;

TTextAttributesEx::TTextAttributesEx(TRichEditHost *control, TAttributeKind kind)
    : FControl(control), FKind(kind)
{
}

// --- Reading and writing the control's formats ----------------------------------------------

QTextCharFormat TTextAttributesEx::ReadFormat() const
{
    if (!HasWindow())
        return {};
    if (FKind == TAttributeKind::Default)
        return FDefaultFormat;
    const QTextCursor selection = FControl->Editor().textCursor();
    if (!selection.hasSelection())
        return FControl->Editor().currentCharFormat();
    // A mixed selection reads as its first character.
    QTextCursor first(FControl->Editor().document());
    first.setPosition(selection.selectionStart() + 1);
    return first.charFormat();
}

QFont TTextAttributesEx::EffectiveFont(const QTextCharFormat &format) const
{
    if (!HasWindow())
        return QFont();
    return format.font().resolve(FControl->Editor().document()->defaultFont());
}

void TTextAttributesEx::Apply(const std::function<void(QTextCharFormat &)> &change)
{
    if (!HasWindow())
        return;
    FormatChangeScope scope([this](int step) {
        if (step > 0)
            FControl->BeginFormatChange();
        else
            FControl->EndFormatChange();
    });
    const QTextCursor selection = FControl->Editor().textCursor();
    if (FKind == TAttributeKind::Default) {
        change(FDefaultFormat);
        if (!selection.hasSelection())
            ApplyToInsertion(change);
        return;
    }
    if (selection.hasSelection()) {
        ApplyToRange(selection.selectionStart(), selection.selectionEnd(), change);
        return;
    }
    if (FControl->WordFormatting()) {
        // The caret inside a word: the whole word takes the change.
        const QTextBlock block = selection.block();
        const QString text = block.text();
        const int offset = selection.position() - block.position();
        auto isWordChar = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
        if (offset > 0 && offset < text.size() && isWordChar(text.at(offset - 1)) &&
            isWordChar(text.at(offset))) {
            int start = offset;
            while (start > 0 && isWordChar(text.at(start - 1)))
                --start;
            int end = offset;
            while (end < text.size() && isWordChar(text.at(end)))
                ++end;
            ApplyToRange(block.position() + start, block.position() + end, change);
        }
    }
    ApplyToInsertion(change);
}

void TTextAttributesEx::ApplyToRange(int from, int to,
                                     const std::function<void(QTextCharFormat &)> &change)
{
    QTextDocument *document = FControl->Editor().document();
    // The runs are gathered first: a format set on one run can merge or split the fragments
    // an iterator would still walk.
    struct Run
    {
        int Start;
        int End;
        QTextCharFormat Format;
    };
    std::vector<Run> runs;
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(from, fragment.position());
            const int end = std::min(to, fragment.position() + fragment.length());
            if (start >= end)
                continue;
            QTextCharFormat format = fragment.charFormat();
            change(format);
            runs.push_back({start, end, format});
        }
    }
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const Run &run : runs) {
        cursor.setPosition(run.Start);
        cursor.setPosition(run.End, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.Format);
    }
    cursor.endEditBlock();
}

void TTextAttributesEx::ApplyToInsertion(const std::function<void(QTextCharFormat &)> &change)
{
    QTextCharFormat format = FControl->Editor().currentCharFormat();
    change(format);
    FControl->Editor().setCurrentCharFormat(format);
}

bool TTextAttributesEx::ReadFlag(int property) const
{
    return ReadFormat().boolProperty(property);
}

void TTextAttributesEx::WriteFlag(int property, bool on)
{
    Apply([property, on](QTextCharFormat &f) {
        if (on)
            f.setProperty(property, true);
        else
            f.clearProperty(property);
    });
}

// --- Properties -----------------------------------------------------------------------------

TColor TTextAttributesEx::Color() const
{
    if (!HasWindow())
        return clBlack;
    const QTextCharFormat format = ReadFormat();
    if (!format.hasProperty(QTextFormat::ForegroundBrush) ||
        format.foreground().style() == Qt::NoBrush)
        return clWindowText;
    return FromQColor(format.foreground().color());
}

void TTextAttributesEx::SetColor(TColor color)
{
    Apply([color](QTextCharFormat &f) {
        if (color == clWindowText)
            f.clearForeground();
        else
            f.setForeground(ToQColor(color));
    });
}

std::string TTextAttributesEx::Name() const
{
    if (!HasWindow())
        return {};
    const QFont font = EffectiveFont(ReadFormat());
    const QString family = font.families().value(0, font.family());
    return FControl->ToAnsi(family.left(MaxFaceName));
}

void TTextAttributesEx::SetName(const std::string &name)
{
    if (!HasWindow())
        return;
    const QString family = FControl->ToWide(name).left(MaxFaceName);
    Apply([&family](QTextCharFormat &f) { f.setFontFamilies(QStringList{family}); });
}

TFontPitch TTextAttributesEx::Pitch() const
{
    const QTextCharFormat format = ReadFormat();
    if (!format.hasProperty(QTextFormat::FontFixedPitch))
        return TFontPitch::fpDefault;
    return format.fontFixedPitch() ? TFontPitch::fpFixed : TFontPitch::fpVariable;
}

void TTextAttributesEx::SetPitch(TFontPitch)
{
    // Sent with an empty mask: the text keeps its pitch.
}

int TTextAttributesEx::Size() const
{
    if (!HasWindow())
        return 0;
    const QTextCharFormat format = ReadFormat();
    double points = 0;
    if (format.hasProperty(QTextFormat::FontPointSize)) {
        points = format.fontPointSize();
    } else {
        const QFont font = EffectiveFont(format);
        points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    }
    return RoundTwips(points) / TwipsPerPoint;
}

void TTextAttributesEx::SetSize(int points)
{
    if (points < 1)
        return;
    Apply([points](QTextCharFormat &f) { f.setFontPointSize(points); });
}

int TTextAttributesEx::Weight() const
{
    if (!HasWindow())
        return 0;
    return EffectiveFont(ReadFormat()).weight();
}

void TTextAttributesEx::SetWeight(int weight)
{
    Apply([weight](QTextCharFormat &f) { f.setFontWeight(qBound(1, weight, 1000)); });
}

TColor TTextAttributesEx::BackColor() const
{
    if (!HasWindow())
        return clBlack;
    const QTextCharFormat format = ReadFormat();
    if (!format.hasProperty(QTextFormat::BackgroundBrush) ||
        format.background().style() == Qt::NoBrush)
        return ColorToRGB(clWindow);
    return FromQColor(format.background().color());
}

void TTextAttributesEx::SetBackColor(TColor color)
{
    Apply([color](QTextCharFormat &f) {
        if (color == clNone || color == clWindow)
            f.clearBackground();
        else
            f.setBackground(ToQColor(color));
    });
}

int TTextAttributesEx::Language() const
{
    if (!HasWindow())
        return 0;
    const QTextCharFormat format = ReadFormat();
    if (format.hasProperty(LanguageProperty))
        return format.intProperty(LanguageProperty) & 0xFFFF;
    return FControl->Language() & 0xFFFF;
}

void TTextAttributesEx::SetLanguage(int language)
{
    Apply([language](QTextCharFormat &f) { f.setProperty(LanguageProperty, language & 0xFFFF); });
}

int TTextAttributesEx::ScriptPosition() const
{
    switch (ReadFormat().verticalAlignment()) {
    case QTextCharFormat::AlignSubScript:
        return 1;
    case QTextCharFormat::AlignSuperScript:
        return 2;
    default:
        return 0;
    }
}

void TTextAttributesEx::SetScriptPosition(int position)
{
    Apply([position](QTextCharFormat &f) {
        // Both bits together read as subscript, the lower bit.
        if (position & 1)
            f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        else if (position & 2)
            f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else
            f.clearProperty(QTextFormat::TextVerticalAlignment);
    });
}

double TTextAttributesEx::Offset() const
{
    return ReadFormat().intProperty(OffsetTwips) / double(TwipsPerPoint);
}

void TTextAttributesEx::SetOffset(double points)
{
    const int twips = RoundTwips(points);
    Apply([twips](QTextCharFormat &f) {
        if (twips == 0) {
            f.clearProperty(OffsetTwips);
            f.clearProperty(QTextFormat::TextBaselineOffset);
            return;
        }
        f.setProperty(OffsetTwips, twips);
        // Qt raises text by a share of its height.
        const double size = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : 12.0;
        f.setBaselineOffset(100.0 * twips / TwipsPerPoint / size);
    });
}

double TTextAttributesEx::Spacing() const
{
    const QTextCharFormat format = ReadFormat();
    if (!format.hasProperty(QTextFormat::FontLetterSpacing) ||
        format.fontLetterSpacingType() != QFont::AbsoluteSpacing)
        return 0;
    return TRtfFormatProperties::PixelsToTwips(format.fontLetterSpacing()) / double(TwipsPerPoint);
}

void TTextAttributesEx::SetSpacing(double points)
{
    const int twips = RoundTwips(points);
    Apply([twips](QTextCharFormat &f) {
        if (twips == 0) {
            f.clearProperty(QTextFormat::FontLetterSpacing);
            f.clearProperty(QTextFormat::FontLetterSpacingType);
            return;
        }
        f.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        f.setFontLetterSpacing(TRtfFormatProperties::TwipsToPixels(twips));
    });
}

double TTextAttributesEx::Kerning() const
{
    return ReadFormat().intProperty(KerningTwips) / double(TwipsPerPoint);
}

void TTextAttributesEx::SetKerning(double points)
{
    const int twips = RoundTwips(points);
    Apply([twips](QTextCharFormat &f) {
        f.setProperty(KerningTwips, twips);
        f.setFontKerning(twips > 0);
    });
}

int TTextAttributesEx::UnderlineType() const
{
    const QTextCharFormat format = ReadFormat();
    const QTextCharFormat::UnderlineStyle style = format.underlineStyle();
    if (style == QTextCharFormat::NoUnderline)
        return 0;
    if (format.hasProperty(UnderlineKind))
        return format.intProperty(UnderlineKind);
    switch (style) {
    case QTextCharFormat::DotLine:
        return 4;
    case QTextCharFormat::DashUnderline:
        return 5;
    case QTextCharFormat::DashDotLine:
        return 6;
    case QTextCharFormat::DashDotDotLine:
        return 7;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        return 8;
    default:
        return 1;
    }
}

void TTextAttributesEx::SetUnderlineType(int type)
{
    type &= 0xFF;
    Apply([type](QTextCharFormat &f) {
        f.clearProperty(UnderlineKind);
        QTextCharFormat::UnderlineStyle style = QTextCharFormat::SingleUnderline;
        switch (type) {
        case 0:
            style = QTextCharFormat::NoUnderline;
            break;
        case 4:
            style = QTextCharFormat::DotLine;
            break;
        case 5:
            style = QTextCharFormat::DashUnderline;
            break;
        case 6:
            style = QTextCharFormat::DashDotLine;
            break;
        case 7:
            style = QTextCharFormat::DashDotDotLine;
            break;
        case 8:
            style = QTextCharFormat::WaveUnderline;
            break;
        default:
            // Kinds Qt cannot draw (word, double, thick, ...) are drawn single and read back as
            // they were written.
            if (type != 1)
                f.setProperty(UnderlineKind, type);
            break;
        }
        f.setUnderlineStyle(style);
    });
}

int TTextAttributesEx::Animation() const
{
    return ReadFormat().intProperty(AnimationProperty);
}

void TTextAttributesEx::SetAnimation(int animation)
{
    Apply([animation](QTextCharFormat &f) { f.setProperty(AnimationProperty, animation & 0xFF); });
}

bool TTextAttributesEx::Bold() const
{
    if (!HasWindow())
        return false;
    return EffectiveFont(ReadFormat()).weight() > QFont::Medium;
}

void TTextAttributesEx::SetBold(bool on)
{
    Apply([on](QTextCharFormat &f) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
}

bool TTextAttributesEx::Italic() const
{
    if (!HasWindow())
        return false;
    return EffectiveFont(ReadFormat()).italic();
}

void TTextAttributesEx::SetItalic(bool on)
{
    Apply([on](QTextCharFormat &f) { f.setFontItalic(on); });
}

bool TTextAttributesEx::StrikeOut() const
{
    if (!HasWindow())
        return false;
    return EffectiveFont(ReadFormat()).strikeOut();
}

void TTextAttributesEx::SetStrikeOut(bool on)
{
    Apply([on](QTextCharFormat &f) { f.setFontStrikeOut(on); });
}

bool TTextAttributesEx::Link() const
{
    return ReadFormat().isAnchor();
}

void TTextAttributesEx::SetLink(bool on)
{
    Apply([on](QTextCharFormat &f) { f.setAnchor(on); });
}

bool TTextAttributesEx::SmallCaps() const
{
    const QTextCharFormat format = ReadFormat();
    return format.hasProperty(QTextFormat::FontCapitalization) &&
           format.fontCapitalization() == QFont::SmallCaps;
}

void TTextAttributesEx::SetSmallCaps(bool on)
{
    Apply([on](QTextCharFormat &f) {
        if (on)
            f.setFontCapitalization(QFont::SmallCaps);
        else if (f.fontCapitalization() == QFont::SmallCaps)
            f.clearProperty(QTextFormat::FontCapitalization);
    });
}

bool TTextAttributesEx::AllCaps() const
{
    const QTextCharFormat format = ReadFormat();
    return format.hasProperty(QTextFormat::FontCapitalization) &&
           format.fontCapitalization() == QFont::AllUppercase;
}

void TTextAttributesEx::SetAllCaps(bool on)
{
    Apply([on](QTextCharFormat &f) {
        if (on)
            f.setFontCapitalization(QFont::AllUppercase);
        else if (f.fontCapitalization() == QFont::AllUppercase)
            f.clearProperty(QTextFormat::FontCapitalization);
    });
}

bool TTextAttributesEx::Hidden() const
{
    return ReadFlag(TRtfFormatProperties::Hidden);
}

void TTextAttributesEx::SetHidden(bool on)
{
    WriteFlag(TRtfFormatProperties::Hidden, on);
}

bool TTextAttributesEx::Outline() const
{
    return ReadFlag(OutlineProperty);
}

void TTextAttributesEx::SetOutline(bool on)
{
    WriteFlag(OutlineProperty, on);
}

bool TTextAttributesEx::Shadow() const
{
    return ReadFlag(ShadowProperty);
}

void TTextAttributesEx::SetShadow(bool on)
{
    WriteFlag(ShadowProperty, on);
}

bool TTextAttributesEx::Emboss() const
{
    return ReadFlag(EmbossProperty);
}

void TTextAttributesEx::SetEmboss(bool on)
{
    WriteFlag(EmbossProperty, on);
}

bool TTextAttributesEx::Imprint() const
{
    return ReadFlag(ImprintProperty);
}

void TTextAttributesEx::SetImprint(bool on)
{
    WriteFlag(ImprintProperty, on);
}

unsigned TTextAttributesEx::Style() const
{
    using namespace TFontStyle;
    if (!HasWindow())
        return 0;
    const QTextCharFormat format = ReadFormat();
    const QFont font = EffectiveFont(format);
    unsigned style = 0;
    if (font.weight() > QFont::Medium)
        style |= fsBold;
    if (font.italic())
        style |= fsItalic;
    if (format.underlineStyle() != QTextCharFormat::NoUnderline)
        style |= fsUnderline;
    if (font.strikeOut())
        style |= fsStrikeOut;
    return style;
}

void TTextAttributesEx::SetStyle(unsigned style)
{
    using namespace TFontStyle;
    Apply([style](QTextCharFormat &f) {
        f.setFontWeight((style & fsBold) ? QFont::Bold : QFont::Normal);
        f.setFontItalic((style & fsItalic) != 0);
        f.setFontStrikeOut((style & fsStrikeOut) != 0);
        f.clearProperty(UnderlineKind);
        f.setUnderlineStyle((style & fsUnderline) ? QTextCharFormat::SingleUnderline
                                                  : QTextCharFormat::NoUnderline);
    });
}

// --- Copying ------------------------------------------------------------------------------------

void TTextAttributesEx::CopyFrom(const TTextAttributesEx &source)
{
    if (&source == this)
        return;
    SetColor(source.Color());
    SetName(source.Name());
    SetSize(source.Size());
    SetPitch(source.Pitch());
    SetWeight(source.Weight());
    SetBackColor(source.BackColor());
    SetLanguage(source.Language());
    SetScriptPosition(source.ScriptPosition());
    SetOffset(source.Offset());
    SetSpacing(source.Spacing());
    SetKerning(source.Kerning());
    SetUnderlineType(source.UnderlineType());
    SetBold(source.Bold());
    SetItalic(source.Italic());
    SetStrikeOut(source.StrikeOut());
    SetAnimation(source.Animation());
    SetSmallCaps(source.SmallCaps());
    SetAllCaps(source.AllCaps());
    SetHidden(source.Hidden());
    SetOutline(source.Outline());
    SetShadow(source.Shadow());
    SetEmboss(source.Emboss());
    SetImprint(source.Imprint());
    SetLink(source.Link());
}

void TTextAttributesEx::CopyFrom(const QFont &font, const QColor *color)
{
    if (color && color->isValid())
        SetColor(FromQColor(*color));
    if (HasWindow())
        SetName(FControl->ToAnsi(font.families().value(0, font.family())));
    const double points =
        font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    SetSize(static_cast<int>(std::nearbyint(points)));
    SetPitch(font.fixedPitch() ? TFontPitch::fpFixed : TFontPitch::fpDefault);
    SetBold(font.weight() > QFont::Medium);
    SetItalic(font.italic());
    SetStrikeOut(font.strikeOut());
    SetUnderlineType(font.underline() ? 1 : 0);
}

void TTextAttributesEx::CopyFrom(const QObject &source)
{
    CannotAssign(ClassNameOf(source), QStringLiteral("TTextAttributesEx"));
}

void TTextAttributesEx::CopyTo(QFont &font) const
{
    const std::string name = Name();
    font.setFamilies(QStringList{HasWindow() ? FControl->ToWide(name) : QString::fromLatin1(name)});
    font.setBold(Bold());
    font.setItalic(Italic());
    font.setUnderline(UnderlineType() != 0);
    font.setStrikeOut(false);
    const int size = Size();
    if (size > 0)
        font.setPointSize(size);
    font.setFixedPitch(Pitch() == TFontPitch::fpFixed);
}

void TTextAttributesEx::CopyTo(QFont &font, QColor &color) const
{
    color = ToQColor(Color());
    CopyTo(font);
}

void TTextAttributesEx::CopyTo(QObject &target) const
{
    CannotAssign(QStringLiteral("TTextAttributesEx"), ClassNameOf(target));
}
