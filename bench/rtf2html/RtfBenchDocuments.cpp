#include "RtfBenchDocuments.h"

#include <cstring>
#include <iterator>
#include <random>

namespace RtfBenchDocuments {
namespace {
const char *const KWords[] = {"the",    "template", "holds",  "fixed",      "wording",
                              "and",    "all",      "of",     "formatting", "letter",
                              "values", "case",     "go",     "where",      "placeholders",
                              "stand,", "merge",    "result", "printed.",   "Zarvel"};

const char *Word(std::mt19937 &random)
{
    return KWords[random() % std::size(KWords)];
}

// Rich text written as word processors write it: a line ends before a control word or group
// once it is longer than about 250 characters, and after every paragraph mark.
class TRtfText
{
public:
    explicit TRtfText(size_t reserve) { FText.reserve(reserve + 4096); }

    TRtfText &operator<<(const std::string &piece) { return Add(piece); }
    TRtfText &operator<<(const char *piece) { return Add(piece); }
    TRtfText &operator<<(size_t number) { return Add(std::to_string(number)); }
    // Ends the line (after a paragraph mark).
    void EndLine()
    {
        FText += "\r\n";
        FLineLength = 0;
    }
    size_t Size() const { return FText.size(); }
    std::string Take() { return std::move(FText); }

private:
    TRtfText &Add(const std::string &piece)
    {
        if (FLineLength > 250 && !piece.empty() && (piece[0] == '\\' || piece[0] == '{'))
            EndLine();
        FText += piece;
        FLineLength += piece.size();
        return *this;
    }

    std::string FText;
    size_t FLineLength = 0;
};

const char *const KFonts[] = {"\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times "
                              "New Roman",
                              "\\fswiss\\fcharset0\\fprq2{\\*\\panose 020b0604020202020204}Arial",
                              "\\fmodern\\fcharset0\\fprq1 Courier New",
                              "\\froman\\fcharset2\\fprq2 Symbol",
                              "\\fswiss\\fcharset0\\fprq2 Tahoma",
                              "\\froman\\fcharset0\\fprq2{\\*\\falt Georgia}Georgia Pro",
                              "\\fswiss\\fcharset0\\fprq2 Verdana",
                              "\\fnil\\fcharset2\\fprq2 Wingdings",
                              "\\froman\\fcharset0\\fprq2 Garamond",
                              "\\fswiss\\fcharset0\\fprq2 Century Gothic",
                              "\\fmodern\\fcharset0\\fprq1 Lucida Console",
                              "\\fscript\\fcharset0\\fprq2 Monotype Corsiva"};

void DocumentHead(TRtfText &rtf)
{
    rtf << "{\\rtf1\\ansi\\ansicpg1252\\uc1 \\deff0\\deflang1033\\deflangfe1033{\\fonttbl";
    for (size_t i = 0; i < std::size(KFonts); ++i) {
        rtf << "{\\f" << i << KFonts[i] << ";}";
        rtf.EndLine();
    }
    rtf << "}{\\colortbl;";
    for (int i = 0; i < 16; ++i) {
        rtf << "\\red" << size_t((i * 53) % 256) << "\\green" << size_t((i * 97) % 256) << "\\blue"
            << size_t((i * 151) % 256) << ";";
    }
    rtf << "}";
    rtf.EndLine();
    rtf << "{\\stylesheet{\\widctlpar\\adjustright \\fs20\\lang1033\\cgrid \\snext0 Normal;}";
    for (size_t level = 1; level <= 3; ++level) {
        rtf << "{\\s" << level << "\\sb240\\sa60\\keepn\\widctlpar\\adjustright \\b\\f1\\fs"
            << size_t(36 - 4 * level)
            << "\\lang1033\\kerning28\\cgrid \\sbasedon0 \\snext0 heading " << level << ";}";
        rtf.EndLine();
    }
    for (size_t level = 1; level <= 3; ++level) {
        rtf << "{\\s" << size_t(9 + level) << "\\li" << size_t(200 * (level - 1))
            << "\\widctlpar\\tqr\\tldot\\tx8640\\adjustright \\fs20\\lang1033\\cgrid "
               "\\sbasedon0 \\snext0 toc "
            << level << ";}";
        rtf.EndLine();
    }
    rtf << "{\\s15\\widctlpar\\adjustright \\fs16\\lang1033\\cgrid \\sbasedon0 \\snext15 footnote "
           "text;}{\\*\\cs16 \\additive \\super \\sbasedon10 footnote reference;}{\\*\\cs10 "
           "\\additive Default Paragraph Font;}}";
    rtf.EndLine();
    rtf << "{\\info{\\title Quarterly report}{\\author A. Writer}{\\operator A. Writer}"
           "{\\creatim\\yr2003\\mo5\\dy12\\hr9\\min30}{\\version4}{\\nofpages326}}";
    rtf.EndLine();
    rtf << "\\paperw11906\\paperh16838 \\widowctrl\\ftnbj\\aenddoc\\formshade \\fet0\\sectd "
           "\\linex0\\endnhere\\sectdefaultcl ";
    rtf.EndLine();
}

void Heading(TRtfText &rtf, std::mt19937 &random, size_t level, size_t number)
{
    rtf << "\\pard\\plain \\s" << level
        << "\\sb240\\sa60\\keepn\\widctlpar\\adjustright \\b\\f1\\fs" << size_t(36 - 4 * level)
        << "\\lang1033\\kerning28\\cgrid {" << number << " " << Word(random) << " " << Word(random)
        << "{\\*\\bkmkstart _Toc" << number << "}{\\*\\bkmkend _Toc" << number << "}\\par }";
    rtf.EndLine();
}

void TableOfContents(TRtfText &rtf, std::mt19937 &random)
{
    for (size_t entry = 1; entry <= 40; ++entry) {
        const size_t level = 1 + random() % 3;
        rtf << "\\pard\\plain \\s" << size_t(9 + level) << "\\li" << size_t(200 * (level - 1))
            << "\\widctlpar\\tqr\\tldot\\tx8640\\adjustright \\fs20\\lang1033\\cgrid {" << entry
            << " " << Word(random) << " " << Word(random) << "\\tab " << size_t(entry * 8)
            << "}{\\par }";
        rtf.EndLine();
    }
}

// Words with the inline formatting and characters of ordinary prose.
void Prose(TRtfText &rtf, std::mt19937 &random, int words)
{
    for (int i = 0; i < words; ++i) {
        const char *word = Word(random);
        switch (random() % 40) {
        case 0:
            rtf << "}{\\b " << word << "}{ ";
            break;
        case 1:
            rtf << "}{\\i " << word << " " << Word(random) << "}{ ";
            break;
        case 2:
            rtf << "}{\\f2\\fs18 " << word << "}{ ";
            break;
        case 3:
            rtf << "}{\\cf" << size_t(1 + random() % 16) << " " << word << "}{ ";
            break;
        case 4:
            rtf << "M\\'e4rz ";
            break;
        case 5:
            rtf << "\\ldblquote " << word << "\\rdblquote  ";
            break;
        case 6:
            rtf << "\\tab " << word << " ";
            break;
        case 7:
            rtf << "}{\\ul " << word << "}{ ";
            break;
        case 8:
            rtf << "see http://www.example.com/" << word << " ";
            break;
        case 9:
            rtf << "x\\super 2\\nosupersub  ";
            break;
        case 10:
            rtf << "na\\'efve caf\\'e9 \\endash  ";
            break;
        default:
            rtf << word << " ";
        }
    }
}

void Paragraph(TRtfText &rtf, std::mt19937 &random)
{
    rtf << "\\pard\\plain \\qj \\widctlpar\\adjustright \\fs20\\lang1033\\cgrid {";
    Prose(rtf, random, 40 + static_cast<int>(random() % 80));
    if (random() % 8 == 0) {
        rtf << "}{\\cs16\\super \\chftn {\\footnote \\pard\\plain \\s15\\widctlpar\\adjustright "
               "\\fs16\\lang1033\\cgrid {\\cs16\\super \\chftn }{ ";
        Prose(rtf, random, 12);
        rtf << "}}}{";
    }
    rtf << "\\par }";
    rtf.EndLine();
}

void BulletedList(TRtfText &rtf, std::mt19937 &random)
{
    const size_t items = 3 + random() % 5;
    rtf << "\\pard\\plain \\fi-360\\li720\\widctlpar\\adjustright \\fs20\\lang1033\\cgrid ";
    for (size_t item = 0; item < items; ++item) {
        rtf << "{\\pntext\\f3\\'b7\\tab}";
        if (item == 0)
            rtf << "{\\*\\pn \\pnlvlblt\\pnf3\\pnindent360{\\pntxtb \\'b7}}";
        rtf << "{";
        Prose(rtf, random, 6 + static_cast<int>(random() % 12));
        rtf << "\\par }";
        rtf.EndLine();
    }
}

void NumberedList(TRtfText &rtf, std::mt19937 &random)
{
    const size_t items = 3 + random() % 5;
    rtf << "\\pard\\plain \\fi-360\\li720\\widctlpar\\adjustright \\fs20\\lang1033\\cgrid ";
    for (size_t item = 1; item <= items; ++item) {
        rtf << "{\\pntext\\f0 " << item << ".\\tab}";
        if (item == 1)
            rtf << "{\\*\\pn \\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta .}}";
        rtf << "{";
        Prose(rtf, random, 6 + static_cast<int>(random() % 12));
        rtf << "\\par }";
        rtf.EndLine();
    }
}

void TableRow(TRtfText &rtf, std::mt19937 &random, size_t cells)
{
    rtf << "\\trowd \\trgaph108\\trleft-108\\trbrdrt\\brdrs\\brdrw10 \\trbrdrb\\brdrs\\brdrw10 ";
    for (size_t cell = 1; cell <= cells; ++cell)
        rtf << "\\clbrdrt\\brdrs\\brdrw10 \\cltxlrtb \\cellx" << size_t(cell * 2200);
    rtf.EndLine();
    rtf << "\\pard \\widctlpar\\intbl\\adjustright ";
    for (size_t cell = 1; cell <= cells; ++cell) {
        if (cell == 1)
            rtf << "{\\b " << Word(random) << " " << Word(random) << "\\cell }";
        else
            rtf << "{" << size_t(random() % 10000) << ",\\'a0" << size_t(random() % 100)
                << "\\cell }";
    }
    rtf << "\\pard \\widctlpar\\intbl\\adjustright {\\row }";
    rtf.EndLine();
}

void Table(TRtfText &rtf, std::mt19937 &random)
{
    const size_t rows = 2 + random() % 10;
    const size_t cells = 2 + random() % 4;
    for (size_t row = 0; row < rows; ++row)
        TableRow(rtf, random, cells);
    rtf << "\\pard \\widctlpar\\adjustright {";
    Prose(rtf, random, 10);
    rtf << "\\par }";
    rtf.EndLine();
}

void Picture(TRtfText &rtf, std::mt19937 &random)
{
    static const char KHex[] = "0123456789abcdef";
    rtf << "\\pard\\plain \\qc \\widctlpar\\adjustright \\fs20\\lang1033\\cgrid {{\\pict"
           "\\wmetafile8\\picw2000\\pich1500\\picwgoal1134\\pichgoal850 ";
    rtf.EndLine();
    const size_t lines = 4 + random() % 12;
    for (size_t line = 0; line < lines; ++line) {
        std::string hex(128, '0');
        for (char &c : hex)
            c = KHex[random() % 16];
        rtf << hex;
        rtf.EndLine();
    }
    rtf << "}\\par }";
    rtf.EndLine();
}
} // namespace

std::string WordProcessorDocument(size_t size)
{
    std::mt19937 random(5);
    TRtfText rtf(size);
    DocumentHead(rtf);
    TableOfContents(rtf, random);
    size_t chapter = 0;
    size_t lastPage = 0;
    while (rtf.Size() < size) {
        const unsigned kind = random() % 40;
        if (kind == 0)
            Heading(rtf, random, 1, ++chapter);
        else if (kind < 3)
            Heading(rtf, random, 2 + random() % 2, ++chapter);
        else if (kind < 5)
            BulletedList(rtf, random);
        else if (kind < 7)
            NumberedList(rtf, random);
        else if (kind < 9)
            Table(rtf, random);
        else if (kind == 9)
            Picture(rtf, random);
        else
            Paragraph(rtf, random);
        // A page of about 6 KB, as a document of 1.9 MB and 326 pages has.
        if (rtf.Size() - lastPage > 6000) {
            rtf << "\\pard\\plain \\widctlpar\\adjustright \\fs20\\lang1033\\cgrid {\\page }";
            rtf.EndLine();
            lastPage = rtf.Size();
        }
    }
    rtf << "\\pard \\widctlpar\\adjustright {\\par }}";
    rtf.EndLine();
    return rtf.Take();
}

std::string Paragraphs(size_t size, const char *lineBreak)
{
    std::mt19937 random(7);
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    rtf.reserve(size + 4096);
    while (rtf.size() < size) {
        const int words = 40 + static_cast<int>(random() % 80);
        for (int i = 0; i < words; ++i) {
            const char *word = Word(random);
            switch (random() % 16) {
            case 0:
                rtf += "\\b ";
                rtf += word;
                rtf += "\\b0 ";
                break;
            case 1:
                rtf += "{\\i ";
                rtf += word;
                rtf += "}";
                break;
            case 2:
                rtf += "\\cf1 ";
                rtf += word;
                rtf += "\\cf0 ";
                break;
            case 3:
                rtf += "M\\'e4rz";
                break;
            case 4:
                rtf += "\\tab ";
                rtf += word;
                break;
            default:
                rtf += word;
            }
            rtf += ' ';
        }
        rtf += "\\par";
        rtf += lineBreak;
    }
    return rtf + "}\r\n";
}

std::string FormattedParagraph(size_t size)
{
    static const char *const KChanges[] = {
        "\\b ",   "\\b0 ", "\\i ",  "\\i0 ",   "\\ul ",   "\\ulnone ", "\\cf1 ",    "\\cf2 ",
        "\\cf0 ", "\\f1 ", "\\f0 ", "\\fs24 ", "\\fs20 ", "\\plain ",  "\\strike ", "\\strike0 "};
    std::mt19937 random(13);
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman "
        "Times New Roman;}{\\f2\\fmodern Courier New;}}{\\colortbl ;\\red255\\green0"
        "\\blue0;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    rtf.reserve(size + 4096);
    while (rtf.size() < size) {
        const int words = 2 + static_cast<int>(random() % 4);
        for (int i = 0; i < words; ++i) {
            rtf += Word(random);
            rtf += ' ';
        }
        if (random() % 4 == 0) {
            rtf += "{\\i\\cf2 ";
            rtf += Word(random);
            rtf += "} ";
        } else {
            rtf += KChanges[random() % std::size(KChanges)];
        }
    }
    return rtf + "\\par }";
}

std::string TaglessParagraph(size_t size)
{
    std::mt19937 random(11);
    std::string rtf = "{\\rtf1\\ansi ";
    rtf.reserve(size + 4096);
    size_t lineLength = 0;
    while (rtf.size() < size) {
        const char *word = Word(random);
        rtf += word;
        rtf += ' ';
        lineLength += std::strlen(word) + 1;
        if (lineLength > 80) {
            rtf += "\r\n";
            lineLength = 0;
        }
    }
    return rtf + "}\r\n";
}

std::string DeepGroups(size_t size)
{
    static const char *const KChanges[] = {"\\b ", "\\i ", "\\b0 ", "\\ul ", "\\i0 ", "\\ulnone "};
    std::mt19937 random(17);
    TRtfText rtf(size);
    rtf << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard ";
    // Each level costs about 10 bytes to open and 2 to close.
    const size_t depth = size / 12;
    for (size_t level = 0; level < depth; ++level)
        rtf << "{" << KChanges[level % std::size(KChanges)] << Word(random);
    for (size_t level = 0; level < depth; ++level)
        rtf << "}x";
    rtf << "\\par }";
    return rtf.Take();
}

std::string ManyFontsAndColours(size_t size)
{
    std::mt19937 random(19);
    TRtfText rtf(size);
    const size_t fonts = size / 160;
    const size_t colours = size / 160;
    rtf << "{\\rtf1\\ansi\\deff0{\\fonttbl";
    for (size_t font = 0; font < fonts; ++font) {
        rtf << "{\\f" << font << "\\fswiss\\fcharset0 Face " << font << ";}";
        rtf.EndLine();
    }
    rtf << "}{\\colortbl ;";
    for (size_t colour = 1; colour <= colours; ++colour) {
        rtf << "\\red" << size_t(colour % 256) << "\\green" << size_t(colour / 256 % 256)
            << "\\blue" << size_t(colour * 7 % 256) << ";";
        rtf.EndLine();
    }
    rtf << "}\\pard ";
    while (rtf.Size() < size) {
        rtf << "\\f" << size_t(random() % fonts) << "\\cf" << size_t(1 + random() % colours) << " "
            << Word(random) << " " << Word(random) << " ";
        if (random() % 16 == 0) {
            rtf << "\\par ";
            rtf.EndLine();
        }
    }
    rtf << "\\par }";
    return rtf.Take();
}

std::string LongTable(size_t size)
{
    std::mt19937 random(23);
    TRtfText rtf(size);
    rtf << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Before\\par ";
    rtf.EndLine();
    while (rtf.Size() < size)
        TableRow(rtf, random, 4);
    rtf << "\\pard \\widctlpar\\adjustright After\\par }";
    return rtf.Take();
}

} // namespace RtfBenchDocuments
