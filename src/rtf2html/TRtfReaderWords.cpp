#include "rtf2html/TRtfReader.h"

#include "rtf2html/RtfReaderChars.h"
#include "rtf2html/THtmlWriter.h"

#include <algorithm>

namespace Rtf2Html {

using namespace ReaderChars;

namespace {
constexpr int KUlLevels = 21; // indents of 0, 285, ... 5700 twips
constexpr int32_t KUlStep = 285;
} // namespace

// ---------------------------------------------------------------------------------------
// Control words of the body text

// The table of control words. Whatever a word produces is appended to out.
void TRtfReader::DoControlWord(const TWord &word, TRtfFormat &format, std::string &out)
{
    auto set = [this](bool &field, bool value) {
        if (field != value) {
            field = value;
            W.FormatChanged = true;
        }
    };
    auto item = [&](std::string_view name) {
        if (!format.Hidden)
            W.EmitItem(name, format, out);
    };

    switch (word.Id) {
    case TWordId::Plain:
        format.Reset(TRtfFormat::TScope::Text);
        W.FormatChanged = true;
        W.CloseAllTags(out);
        return;
    case TWordId::Pard:
    case TWordId::Sectd:
        format.Reset(TRtfFormat::TScope::Par);
        FPendingNumberText.clear();
        W.TocParagraph = false;
        FIndentTotal = 0;
        FIndentOpen = true;
        W.PendingLi = false;
        FNumberedList = false;
        FNumberFormatSeen = false;
        FListCounter = -1;
        for (int i = 0; i < W.UlDepth; ++i)
            out += "</UL>";
        W.UlDepth = 0;
        W.InBulletList = false;
        return;
    case TWordId::Par:
    case TWordId::Sect:
        W.CloseAllTags(out);
        if (format.Right)
            out += "</DIV>";
        if (format.Center)
            out += "</CENTER>";
        W.FormatChanged = true;
        W.LinkPending = true;
        W.NewParagraph = true;
        if (W.InBulletList) {
            out += "</LI>";
            W.PendingLi = true;
        } else {
            out += "<BR>";
            if (FListCounter >= 0) {
                ++FListCounter;
                FPendingNumberText =
                    FListTextBefore + std::to_string(FListCounter) + FListTextAfter;
            }
            FBookmarkParagraph = false;
        }
        return;
    case TWordId::V:
    case TWordId::V0:
        format.Hidden = word.Is(TWordId::V);
        return;
    case TWordId::Caps:
    case TWordId::Caps0:
        format.Caps = word.Is(TWordId::Caps);
        return;
    case TWordId::Qc:
        format.Center = true;
        return;
    case TWordId::Qr:
        format.Right = true;
        return;
    case TWordId::Tab:
        item("&tab;");
        return;
    case TWordId::Line:
        out += "<BR>";
        return;
    case TWordId::Page:
        out += "<BR><HR><BR>";
        return;
    case TWordId::EmDash:
        item("&emdash;");
        return;
    case TWordId::EnDash:
        item("&endash;");
        return;
    case TWordId::EmSpace:
        item("&emspace;");
        return;
    case TWordId::EnSpace:
        item("&enspace;");
        return;
    case TWordId::LQuote:
    case TWordId::RQuote:
        item("&quote;");
        return;
    case TWordId::LdblQuote:
    case TWordId::RdblQuote:
        item("&dblquote;");
        return;
    case TWordId::B:
    case TWordId::B0:
        set(format.Bold, word.Is(TWordId::B));
        return;
    case TWordId::I:
    case TWordId::I0:
        set(format.Italic, word.Is(TWordId::I));
        return;
    case TWordId::Ul:
    case TWordId::UlD:
    case TWordId::UlDash:
    case TWordId::UlDashD:
    case TWordId::UlDashDd:
    case TWordId::UlDb:
    case TWordId::UlTh:
    case TWordId::UlWave:
        set(format.Underline, true);
        return;
    case TWordId::UlNone:
    case TWordId::Ul0:
        set(format.Underline, false);
        return;
    case TWordId::Super:
        set(format.Superscript, true);
        return;
    case TWordId::Sub:
        set(format.Subscript, true);
        return;
    case TWordId::NoSuperSub:
        set(format.Superscript, false);
        set(format.Subscript, false);
        return;
    case TWordId::Strike:
    case TWordId::StrikeDl:
        set(format.Strike, true);
        return;
    case TWordId::Strike0:
    case TWordId::StrikeDl0:
        set(format.Strike, false);
        return;
    default:
        break;
    }

    // Words known by their letters, with a number after them.
    const std::string_view text = word.Text;
    const std::string_view letters = word.Letters();
    const std::string_view param = word.Param();
    if (text.substr(0, 2) == "up") {
        set(format.Superscript, true);
    } else if (text.substr(0, 2) == "dn") {
        set(format.Subscript, true);
    } else if ((letters == "li" && !param.empty() && IsDigit(param[0])) ||
               (letters == "fi" && !param.empty() && (param[0] == '-' || IsDigit(param[0])))) {
        Indent(word, out);
    } else if (letters == "f" && !param.empty() && IsDigit(param[0])) {
        const int32_t font = ToInt(param, 0);
        // Without font faces the font still says how its hex escapes read.
        const auto codePage = FFontCodePages.find(font);
        format.CodePage = codePage == FFontCodePages.end() ? 0 : codePage->second;
        if (!W.Options().NoFonts && format.Font != font) {
            format.Font = font;
            W.FormatChanged = true;
        }
    } else if (letters == "ansicpg" && !param.empty()) {
        const int32_t codePage = ToInt(param, 0);
        if (codePage > 0)
            FAnsiCodePage = codePage;
    } else if (letters == "deff" && !param.empty()) {
        FDefaultFont = ToInt(param, -1);
    } else if (letters == "fs" && text.size() > 2) {
        const int32_t size = ToInt(param, 0) / 2;
        if (format.Size != size) {
            format.Size = size;
            W.FormatChanged = true;
        }
    } else if (letters == "cf" && text.size() > 2) {
        const int32_t index = ToInt(param, 0);
        // A negative index names no colour; one beyond the table takes its last colour.
        if (!FColorList.empty() && index >= 0) {
            const int32_t colour =
                FColorList[std::min(static_cast<size_t>(index), FColorList.size() - 1)];
            if (format.Colour != colour) {
                format.Colour = colour;
                W.FormatChanged = true;
            }
        }
    }
}

void TRtfReader::Indent(const TWord &word, std::string &out)
{
    if (!FIndentOpen)
        return;
    FIndentTotal += ToInt(word.Param(), 0);
    if (word.Letters() == "fi")
        return;
    FIndentOpen = false;
    while (W.UlDepth < KUlLevels && static_cast<int64_t>(W.UlDepth) * KUlStep < FIndentTotal) {
        ++W.UlDepth;
        out += "<UL>";
    }
}

} // namespace Rtf2Html
