#pragma once

#include "richedit/TColor.h"

#include <QTextCharFormat>
#include <QtGlobal>

#include <functional>
#include <string>

class QColor;
class QFont;
class QObject;
class TRichEditHost;

enum class TFontPitch { fpDefault, fpVariable, fpFixed };

// Font style set: the bits of the character effects they stand for.
namespace TFontStyle {
constexpr unsigned fsBold = 0x1;
constexpr unsigned fsItalic = 0x2;
constexpr unsigned fsUnderline = 0x4;
constexpr unsigned fsStrikeOut = 0x8;
} // namespace TFontStyle

// Which character format an attributes object works on.
enum class TAttributeKind { Selection = 0, Default = 1 };

// The character format of a rich text control's selection or its default (insertion) format.
// Every property read looks at the control afresh; every write changes that one property and
// leaves all other attributes of the text alone.
//
// Selection kind: reads give the format of the first selected character, or with an empty
// selection the format new typing gets. Writes change the selected text; with an empty
// selection they change the format of new typing, and with WordFormatting and the caret inside a
// word the whole word as well.
// Default kind: the control's default character format. Writes change what is typed next (when
// nothing is selected) and never existing text.
//
// An object made without a control stands for a control that has no window: reads give zero
// values (black, an empty name, fpDefault) and writes do nothing.
class TTextAttributesEx
{
public:
    TTextAttributesEx(TRichEditHost *control, TAttributeKind kind);
    TTextAttributesEx(const TTextAttributesEx &) = delete;
    TTextAttributesEx &operator=(const TTextAttributesEx &) = delete;

    TAttributeKind Kind() const { return FKind; }

    TColor Color() const;
    void SetColor(TColor color);
    // 8-bit (code page 1252) face name; at most 31 characters are kept.
    std::string Name() const;
    void SetName(const std::string &name);
    TFontPitch Pitch() const;
    // Changes no text.
    void SetPitch(TFontPitch pitch);
    // Whole points, truncated. Sizes below 1 are not written.
    int Size() const;
    void SetSize(int points);
    int Weight() const;
    void SetWeight(int weight);
    TColor BackColor() const;
    void SetBackColor(TColor color);
    int Language() const;
    void SetLanguage(int language);
    // 0 none, 1 subscript, 2 superscript.
    int ScriptPosition() const;
    void SetScriptPosition(int position);
    // Points, kept in twips.
    double Offset() const;
    void SetOffset(double points);
    double Spacing() const;
    void SetSpacing(double points);
    double Kerning() const;
    void SetKerning(double points);
    // 0 none, 1 single, other values the kinds of underline (dotted 4, dash 5, wave 8, ...).
    int UnderlineType() const;
    void SetUnderlineType(int type);
    int Animation() const;
    void SetAnimation(int animation);

    bool Bold() const;
    void SetBold(bool on);
    bool Italic() const;
    void SetItalic(bool on);
    bool StrikeOut() const;
    void SetStrikeOut(bool on);
    bool Link() const;
    void SetLink(bool on);
    bool SmallCaps() const;
    void SetSmallCaps(bool on);
    bool AllCaps() const;
    void SetAllCaps(bool on);
    bool Hidden() const;
    void SetHidden(bool on);
    bool Outline() const;
    void SetOutline(bool on);
    bool Shadow() const;
    void SetShadow(bool on);
    bool Emboss() const;
    void SetEmboss(bool on);
    bool Imprint() const;
    void SetImprint(bool on);

    // TFontStyle bits.
    unsigned Style() const;
    void SetStyle(unsigned style);

    // Copies every attribute, one write each.
    void CopyFrom(const TTextAttributesEx &source);
    // Copies name, size, pitch, bold, italic, strikeout and underline (and the colour when one is
    // given) from a font.
    void CopyFrom(const QFont &font, const QColor *color = nullptr);
    // Any other source: throws "Cannot assign a <class> to a TTextAttributesEx".
    void CopyFrom(const QObject &source);
    // Into a font: name, bold, italic, underline, size and pitch (strikeout is not copied).
    void CopyTo(QFont &font) const;
    // The same, with the colour.
    void CopyTo(QFont &font, QColor &color) const;
    // Any other target: throws "Cannot assign a TTextAttributesEx to a <class>".
    void CopyTo(QObject &target) const;

private:
    bool HasWindow() const { return FControl != nullptr; }
    // The format the reads look at.
    QTextCharFormat ReadFormat() const;
    QFont EffectiveFont(const QTextCharFormat &format) const;
    // Changes the format of the text the kind works on.
    void Apply(const std::function<void(QTextCharFormat &)> &change);
    void ApplyToRange(int from, int to, const std::function<void(QTextCharFormat &)> &change);
    void ApplyToInsertion(const std::function<void(QTextCharFormat &)> &change);
    bool ReadFlag(int property) const;
    void WriteFlag(int property, bool on);

    TRichEditHost *FControl;
    TAttributeKind FKind;
    // Default kind: the control's default character format.
    QTextCharFormat FDefaultFormat;
};
