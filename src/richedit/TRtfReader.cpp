#include "richedit/TRtfReader.h"

#include "richedit/ListLabels.h"
#include "richedit/TCodePage1252.h"
#include "richedit/TRtfFormatProperties.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>
#include <vector>

namespace {

using namespace TRtfFormatProperties;

// Beyond this depth groups are only counted: their formatting belongs to the enclosing group.
constexpr int MaxGroupDepth = 1000;
// Numeric parameters are at most this many digits; longer runs are cut.
constexpr int MaxParameterDigits = 10;

enum class Destination {
    Body,
    Skip,
    FontTable,
    FontEntry,
    ColorTable,
    StyleSheet,
    StyleEntry,
    ListTable,
    List,
    ListLevel,
    LevelText,
    ListOverrideTable,
    ListOverride,
    Pn,
    PnTextBefore,
    PnTextAfter,
    Picture,
};

struct CharState
{
    int Font = -1; // -1: the default font
    int HalfPoints = 24;
    bool Bold = false;
    bool Italic = false;
    QTextCharFormat::UnderlineStyle Underline = QTextCharFormat::NoUnderline;
    bool Strike = false;
    int Color = 0;
    int Highlight = 0;
    QTextCharFormat::VerticalAlignment Script = QTextCharFormat::AlignNormal;
    bool Hidden = false;
    bool Protected = false;

    bool operator==(const CharState &o) const
    {
        return Font == o.Font && HalfPoints == o.HalfPoints && Bold == o.Bold &&
               Italic == o.Italic && Underline == o.Underline && Strike == o.Strike &&
               Color == o.Color && Highlight == o.Highlight && Script == o.Script &&
               Hidden == o.Hidden && Protected == o.Protected;
    }
    bool operator!=(const CharState &o) const { return !(*this == o); }
};

enum class ListKind { None, Bullet, Numbered };

struct ParaState
{
    Qt::Alignment Alignment = Qt::AlignLeft;
    int FirstIndent = 0;
    int LeftIndent = 0;
    int RightIndent = 0;
    int SpaceBefore = 0;
    int SpaceAfter = 0;
    int LineSpacing = 0;
    bool LineMultiple = false;
    QList<QTextOption::Tab> Tabs;
    QTextOption::TabType NextTabType = QTextOption::LeftTab;
    // Old-style paragraph numbering (\pn).
    ListKind PnKind = ListKind::None;
    QTextListFormat::Style PnStyle = QTextListFormat::ListDecimal;
    int PnStart = 1;
    QString PnPrefix;
    QString PnSuffix;
    // Word 97 lists (\ls, \ilvl).
    int ListOverride = 0;
    int ListLevel = 0;
};

struct GroupState
{
    Destination Dest = Destination::Body;
    CharState Char;
    ParaState Para;
    int UnicodeSkip = 1;
    // Inside \upr: the destination that \ud returns to.
    Destination UprParent = Destination::Skip;
    bool InUpr = false;
};

struct FontEntry
{
    QString Name;
    int Charset = 0;
};

struct ListLevelDef
{
    int Nfc = 0;
    int Start = 1;
    QString Text;
};

struct Style
{
    CharState Char;
    ParaState Para;
};

struct ListKey
{
    ListKind Kind = ListKind::None;
    QTextListFormat::Style Style = QTextListFormat::ListDisc;
    int Start = 1;
    QString Prefix;
    QString Suffix;
    bool operator==(const ListKey &o) const
    {
        return Kind == o.Kind && Style == o.Style && Start == o.Start && Prefix == o.Prefix &&
               Suffix == o.Suffix;
    }
};

QTextListFormat::Style StyleOfNfc(int nfc)
{
    switch (nfc) {
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    default:
        return QTextListFormat::ListDecimal;
    }
}

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

class Reader
{
public:
    Reader(const QByteArray &data, QTextCursor &cursor) : FData(data), FCursor(cursor) {}
    void Run();

private:
    GroupState &State() { return FStack.back(); }
    void PushGroup();
    void PopGroup();
    void ControlWord(const QByteArray &word, bool hasParameter, int parameter);
    void ControlSymbol(char symbol);
    void TextBytes(const char *bytes, int length);
    void TextChar(char16_t c);
    bool SkipFallback();
    void Flush();
    void MaterializeBreak();
    void EndParagraph();
    void InsertObjectText(char16_t c);
    QTextCharFormat CharFormat(const CharState &state);
    QTextCharFormat MakeCharFormat(const CharState &state) const;
    QTextBlockFormat BlockFormat(const ParaState &state, bool isList) const;
    ListKey ListOf(const ParaState &state, int *listId) const;
    void ApplyList(const ParaState &state);
    void EndPicture();
    void EndFontEntry();
    void EndStyleEntry(const GroupState &entry);
    bool FormattingWord(const QByteArray &word, bool hasParameter, int parameter);
    bool Destinations(const QByteArray &word);
    char16_t DecodeByte(unsigned char byte) const;
    // The character of a byte in a code page; 0 while a lead byte waits for its second byte.
    char16_t Decode(unsigned char byte, int codePage);
    int CodePage() const;
    const std::array<char16_t, 256> *Table(int codePage);

    const QByteArray &FData;
    QTextCursor &FCursor;
    std::vector<GroupState> FStack;
    int FExcessDepth = 0;
    bool FDone = false;
    bool FStarPending = false;
    int FSkipCount = 0;

    int FDefaultFont = 0;
    int FAnsiCodePage = 1252;
    std::map<int, std::array<char16_t, 256>> FTables;
    int FLeadByte = -1;
    QHash<int, FontEntry> FFonts;
    int FFontEntryNumber = -1;
    QString FFontName;
    bool FFontNameDone = false;
    int FFontCharset = 0;
    QList<QColor> FColors;
    int FRed = 0, FGreen = 0, FBlue = 0;
    bool FColorSet = false;
    QHash<int, Style> FStyles;
    QHash<int, Style> FCharStyles;
    int FStyleNumber = 0;
    bool FCharStyle = false;
    QString FLevelText;
    ListLevelDef FLevel;
    QList<ListLevelDef> FLevels;
    int FListId = 0;
    QHash<int, QList<ListLevelDef>> FLists;
    int FOverrideListId = 0;
    int FOverrideNumber = 0;
    QHash<int, int> FOverrides;

    // Picture being read.
    QByteArray FPictData;
    QByteArray FPictKind;
    int FPictNibble = -1;
    int FPictGoalWidth = 0, FPictGoalHeight = 0, FPictWidth = 0, FPictHeight = 0;
    int FPictScaleX = 100, FPictScaleY = 100;
    // Names of the pictures' resources go on from the last one used.
    int FPictureSerial = 0;

    // Output.
    QString FPending;
    CharState FPendingFormat;
    bool FBreakPending = false;
    bool FParagraphHasContent = false;
    QTextBlockFormat FTailFormat;
    bool FTailEmpty = true;
    bool FHeadEmpty = true;
    bool FBreakMade = false;
    QTextBlockFormat FLastBlockFormat;
    std::vector<std::pair<CharState, QTextCharFormat>> FFormatCache;
    QTextList *FList = nullptr;
    ListKey FListKey;
    int FListId2 = -1; // \ls id of FList, -1 for \pn lists
    QHash<int, QTextList *> FLsLists;
    bool FPreviousWasList = false;
};

char16_t Reader::DecodeByte(unsigned char byte) const
{
    return TCodePage1252::ToUnicode(byte);
}

// Code pages of the font character sets.
int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // the document's code page
    }
}

const char *IconvName(int codePage)
{
    switch (codePage) {
    case 437:
        return "CP437";
    case 850:
        return "CP850";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "BIG5";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 10000:
        return "MACINTOSH";
    default:
        return nullptr;
    }
}

// Converts bytes of a code page to one UTF-16 character; false when they make none.
bool IconvDecode(const char *name, const char *bytes, std::size_t length, char16_t *result,
                 bool *incomplete)
{
    iconv_t converter = iconv_open("UTF-16LE", name);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    char in[4];
    std::memcpy(in, bytes, length);
    char out[8];
    char *inPointer = in;
    char *outPointer = out;
    std::size_t inLeft = length;
    std::size_t outLeft = sizeof out;
    const std::size_t done = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    const int error = done == static_cast<std::size_t>(-1) ? errno : 0;
    iconv_close(converter);
    *incomplete = error == EINVAL;
    if (sizeof out - outLeft < 2)
        return false;
    *result = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                    (static_cast<unsigned char>(out[1]) << 8));
    return true;
}

int Reader::CodePage() const
{
    const GroupState &s = FStack.back();
    int charset = 0;
    if (s.Dest == Destination::FontEntry || s.Dest == Destination::FontTable) {
        charset = FFontCharset;
    } else {
        const auto entry = FFonts.constFind(s.Char.Font < 0 ? FDefaultFont : s.Char.Font);
        if (entry != FFonts.constEnd())
            charset = entry->Charset;
    }
    const int codePage = CodePageOfCharset(charset);
    return codePage ? codePage : FAnsiCodePage;
}

const std::array<char16_t, 256> *Reader::Table(int codePage)
{
    const auto found = FTables.find(codePage);
    if (found != FTables.end())
        return &found->second;
    const char *name = IconvName(codePage);
    if (!name)
        return nullptr;
    std::array<char16_t, 256> table;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        char16_t c = 0xFFFD;
        bool incomplete = false;
        if (b < 0x80 && codePage != 10000 && codePage != 437 && codePage != 850)
            c = static_cast<char16_t>(b);
        else if (!IconvDecode(name, &byte, 1, &c, &incomplete))
            c = incomplete ? 0 : 0xFFFD; // 0 marks a lead byte
        table[b] = c;
    }
    return &FTables.emplace(codePage, table).first->second;
}

char16_t Reader::Decode(unsigned char byte, int codePage)
{
    if (FLeadByte >= 0) {
        const char bytes[2] = {static_cast<char>(FLeadByte), static_cast<char>(byte)};
        FLeadByte = -1;
        char16_t c = 0xFFFD;
        bool incomplete = false;
        if (const char *name = IconvName(codePage))
            IconvDecode(name, bytes, 2, &c, &incomplete);
        return c;
    }
    if (codePage == 1252)
        return TCodePage1252::ToUnicode(byte);
    const std::array<char16_t, 256> *table = Table(codePage);
    if (!table)
        return TCodePage1252::ToUnicode(byte);
    const char16_t c = (*table)[byte];
    if (c == 0 && byte != 0)
        FLeadByte = byte;
    return c;
}

QTextCharFormat Reader::CharFormat(const CharState &s)
{
    // Documents use few formats; reusing the same format objects spares building and
    // hashing them again for every run.
    for (const auto &entry : FFormatCache) {
        if (entry.first == s)
            return entry.second;
    }
    if (FFormatCache.size() >= 32)
        FFormatCache.erase(FFormatCache.begin());
    FFormatCache.emplace_back(s, MakeCharFormat(s));
    return FFormatCache.back().second;
}

QTextCharFormat Reader::MakeCharFormat(const CharState &s) const
{
    QTextCharFormat f;
    const int font = s.Font < 0 ? FDefaultFont : s.Font;
    const auto entry = FFonts.constFind(font);
    if (entry != FFonts.constEnd() && !entry->Name.isEmpty())
        f.setFontFamilies({entry->Name});
    f.setFontPointSize(s.HalfPoints > 0 ? s.HalfPoints / 2.0 : 12.0);
    f.setFontWeight(s.Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.Italic);
    f.setUnderlineStyle(s.Underline);
    f.setFontStrikeOut(s.Strike);
    if (s.Color > 0 && s.Color < FColors.size() && FColors.at(s.Color).isValid())
        f.setForeground(FColors.at(s.Color));
    if (s.Highlight > 0 && s.Highlight < FColors.size() && FColors.at(s.Highlight).isValid())
        f.setBackground(FColors.at(s.Highlight));
    f.setVerticalAlignment(s.Script);
    if (s.Hidden)
        f.setProperty(Hidden, true);
    if (s.Protected)
        f.setProperty(Protected, true);
    return f;
}

QTextBlockFormat Reader::BlockFormat(const ParaState &s, bool isList) const
{
    QTextBlockFormat f;
    f.setAlignment(s.Alignment);
    if (isList) {
        f.setTextIndent(0);
        f.setProperty(ListFirstIndent, s.FirstIndent);
    } else {
        f.setTextIndent(TwipsToPixels(s.FirstIndent));
    }
    f.setLeftMargin(TwipsToPixels(s.LeftIndent));
    f.setRightMargin(TwipsToPixels(s.RightIndent));
    f.setTopMargin(TwipsToPixels(s.SpaceBefore));
    f.setBottomMargin(TwipsToPixels(s.SpaceAfter));
    if (s.LineSpacing != 0) {
        if (s.LineMultiple && s.LineSpacing > 0)
            f.setLineHeight(s.LineSpacing / 2.4, QTextBlockFormat::ProportionalHeight);
        else if (!s.LineMultiple && s.LineSpacing > 0)
            f.setLineHeight(TwipsToPixels(s.LineSpacing), QTextBlockFormat::MinimumHeight);
        else if (!s.LineMultiple)
            f.setLineHeight(TwipsToPixels(-s.LineSpacing), QTextBlockFormat::FixedHeight);
    }
    if (!s.Tabs.isEmpty())
        f.setTabPositions(s.Tabs);
    return f;
}

ListKey Reader::ListOf(const ParaState &s, int *listId) const
{
    ListKey key;
    *listId = -1;
    if (s.ListOverride > 0) {
        const int id = FOverrides.value(s.ListOverride, -1);
        const auto list = FLists.constFind(id);
        if (list != FLists.constEnd() && !list->isEmpty()) {
            const ListLevelDef &level = list->at(qBound(0, s.ListLevel, int(list->size()) - 1));
            if (level.Nfc == 255)
                return key;
            *listId = s.ListOverride * 16 + qBound(0, s.ListLevel, 15);
            key.Start = level.Start;
            if (level.Nfc == 23) {
                key.Kind = ListKind::Bullet;
                key.Style = QTextListFormat::ListDisc;
                return key;
            }
            key.Kind = ListKind::Numbered;
            key.Style = StyleOfNfc(level.Nfc);
            // The level text: its length, then text with the level numbers as codes 0 to 8.
            if (!level.Text.isEmpty()) {
                const int length = qMin<int>(level.Text.at(0).unicode(), level.Text.size() - 1);
                const QString text = level.Text.mid(1, length);
                int first = -1, last = -1;
                for (int i = 0; i < text.size(); ++i) {
                    if (text.at(i).unicode() < 9) {
                        if (first < 0)
                            first = i;
                        last = i;
                    }
                }
                if (first >= 0) {
                    key.Prefix = text.left(first);
                    key.Suffix = text.mid(last + 1);
                }
            }
            return key;
        }
        // A list that the tables do not describe: a plain bulleted paragraph.
        key.Kind = ListKind::Bullet;
        *listId = s.ListOverride * 16 + qBound(0, s.ListLevel, 15);
        return key;
    }
    key.Kind = s.PnKind;
    if (key.Kind == ListKind::Bullet) {
        key.Style = QTextListFormat::ListDisc;
    } else if (key.Kind == ListKind::Numbered) {
        key.Style = s.PnStyle;
        key.Start = s.PnStart;
        key.Prefix = s.PnPrefix;
        key.Suffix = s.PnSuffix;
    }
    return key;
}

void Reader::ApplyList(const ParaState &s)
{
    int listId = -1;
    const ListKey key = ListOf(s, &listId);
    if (key.Kind == ListKind::None) {
        FPreviousWasList = false;
        return;
    }
    QTextList *list = nullptr;
    if (listId >= 0) {
        list = FLsLists.value(listId, nullptr);
    } else if (FPreviousWasList && FList && FListId2 < 0 && FListKey == key) {
        list = FList;
    }
    if (list) {
        list->add(FCursor.block());
    } else {
        QTextListFormat format;
        format.setStyle(key.Style);
        format.setIndent(0);
        format.setNumberPrefix(key.Prefix);
        format.setNumberSuffix(key.Suffix);
        if (key.Kind == ListKind::Numbered)
            format.setProperty(ListStart, key.Start);
        list = FCursor.createList(format);
        if (listId >= 0)
            FLsLists.insert(listId, list);
    }
    FList = list;
    FListKey = key;
    FListId2 = listId;
    FPreviousWasList = true;
}

void Reader::Flush()
{
    if (FPending.isEmpty())
        return;
    MaterializeBreak();
    FCursor.insertText(FPending, CharFormat(FPendingFormat));
    FPending.clear();
    FParagraphHasContent = true;
}

void Reader::MaterializeBreak()
{
    if (!FBreakPending)
        return;
    FBreakPending = false;
    FCursor.insertBlock(FLastBlockFormat, CharFormat(State().Char));
    FBreakMade = true;
}

void Reader::EndParagraph()
{
    Flush();
    MaterializeBreak();
    const ParaState &para = State().Para;
    int listId = -1;
    const bool isList = ListOf(para, &listId).Kind != ListKind::None;
    FLastBlockFormat = BlockFormat(para, isList);
    if (FCursor.blockFormat() != FLastBlockFormat)
        FCursor.setBlockFormat(FLastBlockFormat);
    ApplyList(para);
    if (FCursor.block().length() == 1)
        FCursor.setBlockCharFormat(CharFormat(State().Char));
    FBreakPending = true;
    FParagraphHasContent = false;
}

bool Reader::SkipFallback()
{
    if (FSkipCount > 0) {
        --FSkipCount;
        return true;
    }
    return false;
}

void Reader::TextChar(char16_t c)
{
    GroupState &s = State();
    switch (s.Dest) {
    case Destination::Body:
        // Characters the document keeps for its own structure, and control characters
        // other than tab and page break, have no place in the text.
        if ((c < 0x20 && c != u'\t' && c != 0x000C) || c == QChar::ObjectReplacementCharacter ||
            c == QChar::ParagraphSeparator || c == 0xFDD0 || c == 0xFDD1)
            break;
        if (FPending.isEmpty() || FPendingFormat != s.Char) {
            Flush();
            FPendingFormat = s.Char;
        }
        FPending += QChar(c);
        break;
    case Destination::FontTable:
    case Destination::FontEntry:
        if (c == u';') {
            EndFontEntry();
        } else if (!FFontNameDone) {
            FFontName += QChar(c);
        }
        break;
    case Destination::LevelText:
        FLevelText += QChar(c);
        break;
    case Destination::PnTextBefore:
        s.Para.PnPrefix += QChar(c);
        break;
    case Destination::PnTextAfter:
        s.Para.PnSuffix += QChar(c);
        break;
    case Destination::ColorTable:
        if (c == u';') {
            FColors.append(FColorSet ? QColor(FRed, FGreen, FBlue) : QColor());
            FRed = FGreen = FBlue = 0;
            FColorSet = false;
        }
        break;
    default:
        break;
    }
}

void Reader::TextBytes(const char *bytes, int length)
{
    GroupState &s = State();
    if (s.Dest == Destination::Picture) {
        for (int i = 0; i < length; ++i) {
            if (!IsHex(bytes[i]))
                continue;
            if (FPictNibble < 0) {
                FPictNibble = HexValue(bytes[i]);
            } else {
                FPictData += static_cast<char>((FPictNibble << 4) | HexValue(bytes[i]));
                FPictNibble = -1;
            }
        }
        return;
    }
    if (s.Dest == Destination::Skip)
        return;
    int i = 0;
    while (i < length && SkipFallback())
        ++i;
    if (i >= length)
        return;
    if (s.Dest == Destination::Body) {
        if (FPendingFormat != s.Char || FPending.isEmpty()) {
            Flush();
            FPendingFormat = s.Char;
        }
        const int codePage = CodePage();
        if (codePage == 1252 && FLeadByte < 0) {
            const qsizetype old = FPending.size();
            FPending.resize(old + (length - i));
            QChar *out = FPending.data() + old;
            for (; i < length; ++i)
                *out++ = QChar(DecodeByte(static_cast<unsigned char>(bytes[i])));
            return;
        }
    }
    const int codePage = CodePage();
    for (; i < length; ++i) {
        if (const char16_t c = Decode(static_cast<unsigned char>(bytes[i]), codePage))
            TextChar(c);
    }
}

void Reader::EndFontEntry()
{
    if (FFontEntryNumber >= 0 && !FFontNameDone) {
        FontEntry entry;
        entry.Name = FFontName.trimmed();
        entry.Charset = FFontCharset;
        FFonts.insert(FFontEntryNumber, entry);
    }
    FFontNameDone = true;
}

void Reader::EndStyleEntry(const GroupState &entry)
{
    Style style{entry.Char, entry.Para};
    if (FCharStyle)
        FCharStyles.insert(FStyleNumber, style);
    else
        FStyles.insert(FStyleNumber, style);
}

void Reader::EndPicture()
{
    if ((FPictKind != "pngblip" && FPictKind != "jpegblip") || FPictData.isEmpty() ||
        State().Dest != Destination::Body)
        return;
    QBuffer buffer(&FPictData);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, FPictKind == "pngblip" ? "png" : "jpeg");
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > 64LL * 1024 * 1024)
        return;
    const QImage image = reader.read();
    if (image.isNull())
        return;
    QTextDocument *document = FCursor.document();
    QUrl name;
    do {
        name = QUrl(QStringLiteral("rtfpicture:%1").arg(++FPictureSerial));
    } while (document->resource(QTextDocument::ImageResource, name).isValid());
    document->addResource(QTextDocument::ImageResource, name, image);

    QTextImageFormat format;
    format.merge(CharFormat(State().Char));
    format.setObjectType(QTextFormat::ImageObject);
    format.setName(name.toString());
    const int goalWidth = FPictGoalWidth > 0 ? FPictGoalWidth : PixelsToTwips(image.width());
    const int goalHeight = FPictGoalHeight > 0 ? FPictGoalHeight : PixelsToTwips(image.height());
    format.setWidth(TwipsToPixels(goalWidth) * qBound(1, FPictScaleX, 10000) / 100.0);
    format.setHeight(TwipsToPixels(goalHeight) * qBound(1, FPictScaleY, 10000) / 100.0);
    format.setProperty(PictureData, FPictData);
    format.setProperty(PictureKind, QString::fromLatin1(FPictKind));
    format.setProperty(PictureGoalWidth, goalWidth);
    format.setProperty(PictureGoalHeight, goalHeight);
    Flush();
    MaterializeBreak();
    FCursor.insertImage(format);
    FParagraphHasContent = true;
}

void Reader::PushGroup()
{
    FStarPending = false;
    FSkipCount = 0;
    if (FStack.size() >= static_cast<std::size_t>(MaxGroupDepth)) {
        ++FExcessDepth;
        return;
    }
    GroupState state = State();
    // An entry group of a table gets the entry's own destination.
    switch (state.Dest) {
    case Destination::FontTable:
        state.Dest = Destination::FontEntry;
        FFontEntryNumber = -1;
        FFontName.clear();
        FFontNameDone = false;
        FFontCharset = 0;
        break;
    case Destination::StyleSheet:
        state.Dest = Destination::StyleEntry;
        state.Char = CharState();
        state.Para = ParaState();
        FStyleNumber = 0;
        FCharStyle = false;
        break;
    case Destination::FontEntry:
    case Destination::StyleEntry:
    case Destination::ColorTable:
    case Destination::LevelText:
        // Groups nested in table entries (\*\panose, \*\falt, ...) hold nothing we read.
        state.Dest = Destination::Skip;
        break;
    default:
        break;
    }
    FStack.push_back(std::move(state));
}

void Reader::PopGroup()
{
    FStarPending = false;
    FSkipCount = 0;
    if (FExcessDepth > 0) {
        --FExcessDepth;
        return;
    }
    if (FStack.size() <= 1) {
        // The document group ends: the rest of the data is not read.
        FDone = true;
        return;
    }
    GroupState ended = std::move(FStack.back());
    FStack.pop_back();
    GroupState &parent = State();
    switch (ended.Dest) {
    case Destination::FontEntry:
        if (parent.Dest == Destination::FontTable)
            EndFontEntry();
        break;
    case Destination::StyleEntry:
        if (parent.Dest == Destination::StyleSheet)
            EndStyleEntry(ended);
        break;
    case Destination::LevelText:
        if (parent.Dest == Destination::ListLevel)
            FLevel.Text = FLevelText;
        break;
    case Destination::ListLevel:
        if (parent.Dest == Destination::List)
            FLevels.append(FLevel);
        break;
    case Destination::List:
        if (parent.Dest == Destination::ListTable)
            FLists.insert(FListId, FLevels);
        break;
    case Destination::ListOverride:
        if (parent.Dest == Destination::ListOverrideTable)
            FOverrides.insert(FOverrideNumber, FOverrideListId);
        break;
    case Destination::PnTextBefore:
        if (parent.Dest == Destination::Pn)
            parent.Para.PnPrefix = ended.Para.PnPrefix;
        break;
    case Destination::PnTextAfter:
        if (parent.Dest == Destination::Pn)
            parent.Para.PnSuffix = ended.Para.PnSuffix;
        break;
    case Destination::Pn:
        if (parent.Dest == Destination::Body || parent.Dest == Destination::StyleEntry) {
            parent.Para.PnKind = ended.Para.PnKind;
            parent.Para.PnStyle = ended.Para.PnStyle;
            parent.Para.PnStart = ended.Para.PnStart;
            parent.Para.PnPrefix = ended.Para.PnPrefix;
            parent.Para.PnSuffix = ended.Para.PnSuffix;
        }
        break;
    case Destination::Picture:
        if (parent.Dest != Destination::Picture)
            EndPicture();
        break;
    default:
        break;
    }
}

bool Reader::Destinations(const QByteArray &word)
{
    static const QSet<QByteArray> Skipped = {
        "info",         "header",    "headerl",    "headerr",
        "headerf",      "footer",    "footerl",    "footerr",
        "footerf",      "footnote",  "annotation", "atnid",
        "atnauthor",    "pntext",    "listtext",   "fldinst",
        "xe",           "tc",        "tcn",        "txe",
        "rxe",          "comment",   "author",     "operator",
        "title",        "subject",   "keywords",   "doccomm",
        "nonshppict",   "objdata",   "objclass",   "objname",
        "template",     "rsidtbl",   "revtbl",     "filetbl",
        "pgdsctbl",     "themedata", "picprop",    "do",
        "ftnsep",       "ftnsepc",   "ftncn",      "aftnsep",
        "aftnsepc",     "aftncn",    "userprops",  "xmlnstbl",
        "listpicture",  "private",   "generator",  "falt",
        "panose",       "bkmkstart", "bkmkend",    "nonesttables",
        "fname",        "docvar",    "datafield",  "shpinst",
        "sp",           "sn",        "sv",         "shptxt",
        "latentstyles", "mmathPr",   "ftnalt",     "printim",
        "buptim",       "creatim",   "revtim",     "hlinkbase",
        "company",      "manager",   "category",   "stylesheet_unused"};
    GroupState &s = State();
    if (word == "fonttbl") {
        s.Dest = Destination::FontTable;
        FFontEntryNumber = -1;
        FFontName.clear();
        FFontNameDone = true;
    } else if (word == "colortbl") {
        s.Dest = Destination::ColorTable;
        FColors.clear();
        FColorSet = false;
        FRed = FGreen = FBlue = 0;
    } else if (word == "stylesheet") {
        s.Dest = Destination::StyleSheet;
    } else if (word == "listtable") {
        s.Dest = Destination::ListTable;
    } else if (word == "list" && s.Dest == Destination::ListTable) {
        s.Dest = Destination::List;
        FLevels.clear();
        FListId = 0;
    } else if (word == "listlevel" && s.Dest == Destination::List) {
        s.Dest = Destination::ListLevel;
        FLevel = ListLevelDef();
    } else if (word == "leveltext" && s.Dest == Destination::ListLevel) {
        s.Dest = Destination::LevelText;
        FLevelText.clear();
    } else if (word == "listoverridetable") {
        s.Dest = Destination::ListOverrideTable;
    } else if (word == "listoverride" && s.Dest == Destination::ListOverrideTable) {
        s.Dest = Destination::ListOverride;
        FOverrideListId = 0;
        FOverrideNumber = 0;
    } else if (word == "pn" && (s.Dest == Destination::Body || s.Dest == Destination::StyleEntry)) {
        s.Dest = Destination::Pn;
        s.Para.PnKind = ListKind::Numbered;
        s.Para.PnStyle = QTextListFormat::ListDecimal;
        s.Para.PnStart = 1;
        s.Para.PnPrefix.clear();
        s.Para.PnSuffix.clear();
    } else if (word == "pntxtb" && s.Dest == Destination::Pn) {
        s.Dest = Destination::PnTextBefore;
        s.Para.PnPrefix.clear();
    } else if (word == "pntxta" && s.Dest == Destination::Pn) {
        s.Dest = Destination::PnTextAfter;
        s.Para.PnSuffix.clear();
    } else if (word == "pict") {
        if (s.Dest != Destination::Body) {
            s.Dest = Destination::Skip;
            return true;
        }
        s.Dest = Destination::Picture;
        FPictData.clear();
        FPictKind.clear();
        FPictNibble = -1;
        FPictGoalWidth = FPictGoalHeight = FPictWidth = FPictHeight = 0;
        FPictScaleX = FPictScaleY = 100;
    } else if (word == "upr") {
        s.UprParent = s.Dest;
        s.InUpr = true;
        s.Dest = Destination::Skip;
    } else if (word == "ud") {
        if (s.InUpr)
            s.Dest = s.UprParent;
    } else if (word == "shppict" || word == "result" || word == "fldrslt" || word == "field" ||
               word == "object") {
        // Their content is read where they stand.
    } else if (Skipped.contains(word)) {
        s.Dest = Destination::Skip;
    } else {
        return false;
    }
    return true;
}

bool Reader::FormattingWord(const QByteArray &w, bool hasParameter, int v)
{
    GroupState &s = State();
    CharState &c = s.Char;
    ParaState &p = s.Para;
    const bool on = !hasParameter || v != 0;
    // Character formatting.
    if (w == "b") {
        c.Bold = on;
    } else if (w == "i") {
        c.Italic = on;
    } else if (w == "ul" || w == "ulw" || w == "uldb" || w == "ulth") {
        c.Underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
    } else if (w == "uld") {
        c.Underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
    } else if (w == "uldash" || w == "uldashd" || w == "uldashdd") {
        c.Underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
    } else if (w == "ulwave") {
        c.Underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
    } else if (w == "ulnone") {
        c.Underline = QTextCharFormat::NoUnderline;
    } else if (w == "strike" || w == "striked") {
        c.Strike = on;
    } else if (w == "f") {
        c.Font = hasParameter ? v : -1;
    } else if (w == "fs") {
        c.HalfPoints = hasParameter && v > 0 && v <= 3276 ? v : 24;
    } else if (w == "cf") {
        c.Color = qMax(0, v);
    } else if (w == "highlight" || w == "cb" || w == "chcbpat") {
        c.Highlight = qMax(0, v);
    } else if (w == "super") {
        c.Script = QTextCharFormat::AlignSuperScript;
    } else if (w == "sub") {
        c.Script = QTextCharFormat::AlignSubScript;
    } else if (w == "nosupersub") {
        c.Script = QTextCharFormat::AlignNormal;
    } else if (w == "up") {
        c.Script = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
    } else if (w == "dn") {
        c.Script = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
    } else if (w == "v") {
        c.Hidden = on;
    } else if (w == "protect") {
        c.Protected = on;
    } else if (w == "plain") {
        c = CharState();
    } else if (w == "cs") {
        if (s.Dest == Destination::StyleEntry) {
            FStyleNumber = v;
            FCharStyle = true;
        } else if (FCharStyles.contains(v)) {
            c = FCharStyles.value(v).Char;
        }
    } else if (w == "s") {
        if (s.Dest == Destination::StyleEntry) {
            FStyleNumber = v;
            FCharStyle = false;
        } else if (FStyles.contains(v)) {
            const Style &style = FStyles.value(v);
            c = style.Char;
            p = style.Para;
        }
    }
    // Paragraph formatting.
    else if (w == "pard") {
        p = ParaState();
    } else if (w == "ql") {
        p.Alignment = Qt::AlignLeft;
    } else if (w == "qc") {
        p.Alignment = Qt::AlignHCenter;
    } else if (w == "qr") {
        p.Alignment = Qt::AlignRight;
    } else if (w == "qj" || w == "qd") {
        p.Alignment = Qt::AlignJustify;
    } else if (w == "fi") {
        p.FirstIndent = qBound(-31680, v, 31680);
    } else if (w == "li" || w == "lin") {
        p.LeftIndent = qBound(-31680, v, 31680);
    } else if (w == "ri" || w == "rin") {
        p.RightIndent = qBound(-31680, v, 31680);
    } else if (w == "sb") {
        p.SpaceBefore = qBound(0, v, 31680);
    } else if (w == "sa") {
        p.SpaceAfter = qBound(0, v, 31680);
    } else if (w == "sl") {
        p.LineSpacing = qBound(-31680, v, 31680);
    } else if (w == "slmult") {
        p.LineMultiple = on;
    } else if (w == "tqr") {
        p.NextTabType = QTextOption::RightTab;
    } else if (w == "tqc") {
        p.NextTabType = QTextOption::CenterTab;
    } else if (w == "tqdec") {
        p.NextTabType = QTextOption::DelimiterTab;
    } else if (w == "tx" || w == "tb") {
        if (p.Tabs.size() < 64) {
            QTextOption::Tab tab;
            tab.position = TwipsToPixels(qBound(0, v, 31680));
            tab.type = p.NextTabType;
            if (tab.type == QTextOption::DelimiterTab)
                tab.delimiter = QLatin1Char('.');
            p.Tabs.append(tab);
        }
        p.NextTabType = QTextOption::LeftTab;
    } else if (w == "ls") {
        p.ListOverride = qMax(0, v);
    } else if (w == "ilvl") {
        p.ListLevel = qBound(0, v, 8);
    }
    // Old-style numbering, inside \pn.
    else if (w == "pnlvlblt") {
        p.PnKind = ListKind::Bullet;
    } else if (w == "pnlvlbody" || (w == "pnlvl" && hasParameter)) {
        p.PnKind = ListKind::Numbered;
    } else if (w == "pnlvlcont") {
        p.PnKind = ListKind::None;
    } else if (w == "pndec") {
        p.PnStyle = QTextListFormat::ListDecimal;
    } else if (w == "pnucltr") {
        p.PnStyle = QTextListFormat::ListUpperAlpha;
    } else if (w == "pnlcltr") {
        p.PnStyle = QTextListFormat::ListLowerAlpha;
    } else if (w == "pnucrm") {
        p.PnStyle = QTextListFormat::ListUpperRoman;
    } else if (w == "pnlcrm") {
        p.PnStyle = QTextListFormat::ListLowerRoman;
    } else if (w == "pnstart") {
        p.PnStart = qBound(0, v, 32767);
    } else {
        return false;
    }
    return true;
}

void Reader::ControlWord(const QByteArray &word, bool hasParameter, int parameter)
{
    GroupState &s = State();
    const bool star = FStarPending;
    FStarPending = false;

    if (s.Dest == Destination::Skip) {
        if (word == "ud" && s.InUpr)
            s.Dest = s.UprParent;
        return;
    }
    if (star) {
        if (word == "pn" || word == "listtable" || word == "listoverridetable" ||
            word == "shppict" || word == "ud" ||
            ((word == "cs" || word == "ts") && s.Dest == Destination::StyleEntry)) {
            if (word == "ts")
                s.Dest = Destination::Skip;
            else if (word == "cs")
                FormattingWord(word, hasParameter, parameter);
            else
                Destinations(word);
        } else {
            s.Dest = Destination::Skip;
        }
        return;
    }

    switch (s.Dest) {
    case Destination::FontTable:
    case Destination::FontEntry:
        if (word == "f") {
            if (s.Dest == Destination::FontTable)
                EndFontEntry();
            FFontEntryNumber = parameter;
            FFontName.clear();
            FFontNameDone = false;
            FFontCharset = 0;
        } else if (word == "fcharset") {
            FFontCharset = parameter;
        } else if (word == "u") {
            TextChar(static_cast<char16_t>(parameter & 0xFFFF));
            FSkipCount = s.UnicodeSkip;
        }
        return;
    case Destination::ColorTable:
        if (word == "red") {
            FRed = qBound(0, parameter, 255);
            FColorSet = true;
        } else if (word == "green") {
            FGreen = qBound(0, parameter, 255);
            FColorSet = true;
        } else if (word == "blue") {
            FBlue = qBound(0, parameter, 255);
            FColorSet = true;
        }
        return;
    case Destination::List:
        if (word == "listid")
            FListId = parameter;
        else
            Destinations(word);
        return;
    case Destination::ListLevel:
        if (word == "levelnfc" || word == "levelnfcn")
            FLevel.Nfc = parameter;
        else if (word == "levelstartat")
            FLevel.Start = qBound(0, parameter, 32767);
        else if (word == "levelnumbers")
            s.Dest = Destination::Skip;
        else
            Destinations(word);
        return;
    case Destination::ListOverride:
        if (word == "listid")
            FOverrideListId = parameter;
        else if (word == "ls")
            FOverrideNumber = parameter;
        else if (word == "lfolevel")
            s.Dest = Destination::Skip;
        return;
    case Destination::ListTable:
    case Destination::ListOverrideTable:
    case Destination::LevelText:
    case Destination::PnTextBefore:
    case Destination::PnTextAfter:
        Destinations(word);
        return;
    case Destination::Picture:
        if (word == "pngblip" || word == "jpegblip")
            FPictKind = word;
        else if (word == "wmetafile" || word == "emfblip" || word == "macpict" ||
                 word == "dibitmap" || word == "wbitmap" || word == "pmmetafile")
            FPictKind = "other";
        else if (word == "picwgoal")
            FPictGoalWidth = qBound(0, parameter, 31680 * 4);
        else if (word == "pichgoal")
            FPictGoalHeight = qBound(0, parameter, 31680 * 4);
        else if (word == "picw")
            FPictWidth = parameter;
        else if (word == "pich")
            FPictHeight = parameter;
        else if (word == "picscalex")
            FPictScaleX = parameter;
        else if (word == "picscaley")
            FPictScaleY = parameter;
        return;
    default:
        break;
    }

    if (Destinations(word))
        return;
    if (FormattingWord(word, hasParameter, parameter))
        return;
    static const QHash<QByteArray, char16_t> Characters = {
        {"tab", u'\t'},        {"line", 0x2028},    {"page", 0x000C},    {"emdash", 0x2014},
        {"endash", 0x2013},    {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
        {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
        {"rdblquote", 0x201D}, {"zwj", 0x200D},     {"zwnj", 0x200C},    {"ltrmark", 0x200E},
        {"rtlmark", 0x200F}};
    if (word == "deff") {
        FDefaultFont = parameter;
    } else if (word == "ansicpg") {
        FAnsiCodePage = parameter == 1252 || IconvName(parameter) ? parameter : 1252;
    } else if (word == "mac") {
        FAnsiCodePage = 10000;
    } else if (word == "pc") {
        FAnsiCodePage = 437;
    } else if (word == "pca") {
        FAnsiCodePage = 850;
    } else if (word == "uc") {
        s.UnicodeSkip = qBound(0, parameter, 16);
    } else if (word == "u") {
        TextChar(static_cast<char16_t>(parameter & 0xFFFF));
        FSkipCount = s.UnicodeSkip;
    } else if (const auto it = Characters.constFind(word); it != Characters.constEnd()) {
        if (!SkipFallback() && (s.Dest == Destination::Body || it.value() == u'\t'))
            TextChar(it.value());
    } else if (s.Dest != Destination::Body) {
        return;
    } else if (word == "par" || word == "sect") {
        FSkipCount = 0;
        if (word == "par" || FParagraphHasContent)
            EndParagraph();
    } else if (word == "cell" || word == "nestcell" || word == "row" || word == "nestrow") {
        // Table cells become paragraphs in reading order; empty cells leave nothing.
        FSkipCount = 0;
        Flush();
        if (FParagraphHasContent)
            EndParagraph();
    }
}

void Reader::ControlSymbol(char symbol)
{
    GroupState &s = State();
    if (symbol == '*') {
        FStarPending = true;
        return;
    }
    FStarPending = false;
    if (s.Dest == Destination::Skip || s.Dest == Destination::Picture)
        return;
    if (SkipFallback())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        TextChar(static_cast<char16_t>(symbol));
        break;
    case '~':
        TextChar(0x00A0);
        break;
    case '-':
        TextChar(0x00AD);
        break;
    case '_':
        TextChar(0x2011);
        break;
    case '\r':
    case '\n':
        if (s.Dest == Destination::Body)
            EndParagraph();
        break;
    default:
        break;
    }
}

void Reader::Run()
{
    const char *data = FData.constData();
    const qsizetype size = FData.size();
    FStack.reserve(64);
    FStack.emplace_back();
    FTailFormat = FCursor.blockFormat();
    FLastBlockFormat = FTailFormat;
    FTailEmpty = FCursor.atBlockEnd();
    FHeadEmpty = FCursor.atBlockStart();
    qsizetype i = 0;
    // The data starts with "{\rtf": its brace opens the document group.
    if (size > 0 && data[0] == '{')
        ++i;
    while (i < size && !FDone) {
        const char c = data[i];
        if (c == '{') {
            PushGroup();
            ++i;
        } else if (c == '}') {
            PopGroup();
            ++i;
        } else if (c == '\\') {
            ++i;
            if (i >= size)
                break;
            const char next = data[i];
            if (IsLetter(next)) {
                const qsizetype start = i;
                while (i < size && IsLetter(data[i]) && i - start < 32)
                    ++i;
                const QByteArray word(data + start, i - start);
                while (i < size && IsLetter(data[i]))
                    ++i;
                bool hasParameter = false;
                bool negative = false;
                qint64 value = 0;
                if (i < size && data[i] == '-' && i + 1 < size && data[i + 1] >= '0' &&
                    data[i + 1] <= '9') {
                    negative = true;
                    ++i;
                }
                int digits = 0;
                while (i < size && data[i] >= '0' && data[i] <= '9') {
                    if (digits++ < MaxParameterDigits)
                        value = value * 10 + (data[i] - '0');
                    hasParameter = true;
                    ++i;
                }
                if (i < size && data[i] == ' ')
                    ++i;
                value = std::clamp<qint64>(negative ? -value : value, -2147483647, 2147483647);
                const int parameter = static_cast<int>(value);
                if (word == "bin") {
                    const qint64 length = std::clamp<qint64>(parameter, 0, size - i);
                    if (State().Dest == Destination::Picture)
                        FPictData.append(data + i, length);
                    i += length;
                    FStarPending = false;
                    FSkipCount = 0;
                    continue;
                }
                ControlWord(word, hasParameter, parameter);
            } else if (next == '\'') {
                ++i;
                if (i + 1 < size && IsHex(data[i]) && IsHex(data[i + 1])) {
                    const int byte = (HexValue(data[i]) << 4) | HexValue(data[i + 1]);
                    i += 2;
                    FStarPending = false;
                    GroupState &s = State();
                    if (s.Dest == Destination::Skip || s.Dest == Destination::Picture)
                        continue;
                    if (SkipFallback())
                        continue;
                    if (s.Dest == Destination::LevelText) {
                        TextChar(static_cast<char16_t>(byte));
                    } else if (const char16_t c =
                                   Decode(static_cast<unsigned char>(byte), CodePage())) {
                        TextChar(c);
                    }
                }
                // A broken escape is dropped; what follows is read as usual.
            } else {
                ControlSymbol(next);
                ++i;
            }
        } else if (c == '\r' || c == '\n' || c == 0) {
            ++i;
        } else {
            // A run of plain text.
            const qsizetype start = i;
            while (i < size) {
                const char t = data[i];
                if (t == '{' || t == '}' || t == '\\' || t == '\r' || t == '\n' || t == 0)
                    break;
                ++i;
            }
            FStarPending = false;
            qsizetype from = start;
            while (from < i) {
                // Tab characters in the data count as tabs; other control bytes are dropped.
                qsizetype to = from;
                while (to < i && static_cast<unsigned char>(data[to]) >= 0x20)
                    ++to;
                if (to > from)
                    TextBytes(data + from, static_cast<int>(to - from));
                if (to < i) {
                    if (data[to] == '\t' && State().Dest == Destination::Body && !SkipFallback())
                        TextChar(u'\t');
                    ++to;
                }
                from = to;
            }
        }
    }
    Flush();
    if (FBreakPending) {
        // The last paragraph mark of the data becomes the one already there, unless text
        // follows the insertion point.
        QTextCursor probe(FCursor);
        probe.movePosition(QTextCursor::End);
        if (probe.position() != FCursor.position())
            MaterializeBreak();
    }
    if (!FBreakPending && (FBreakMade || FParagraphHasContent)) {
        // The paragraph that the data leaves open: one that the data started takes the
        // formatting in effect at the end, as if a paragraph mark stood there; the rest of
        // the paragraph the text went into keeps its own.
        if (FTailEmpty && (FBreakMade || FHeadEmpty)) {
            const ParaState &para = State().Para;
            int listId = -1;
            const bool isList = ListOf(para, &listId).Kind != ListKind::None;
            const QTextBlockFormat format = BlockFormat(para, isList);
            if (FCursor.blockFormat() != format)
                FCursor.setBlockFormat(format);
            ApplyList(para);
        } else if (FBreakMade && FCursor.blockFormat() != FTailFormat) {
            FCursor.setBlockFormat(FTailFormat);
        }
    }
}

} // namespace

bool TRtfReader::IsRtf(const QByteArray &data)
{
    return data.startsWith("{\\rtf");
}

bool TRtfReader::Read(const QByteArray &data, QTextCursor &cursor)
{
    if (!IsRtf(data) || cursor.isNull())
        return false;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int start = cursor.position();
    Reader reader(data, cursor);
    reader.Run();
    FitListLabels(*cursor.document(), start, cursor.position());
    cursor.endEditBlock();
    return true;
}
