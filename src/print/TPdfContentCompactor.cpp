#include "print/TPdfContentCompactor.h"

#include <QLineF>
#include <QTransform>

#include <charconv>
#include <cmath>
#include <deque>
#include <optional>
#include <vector>

namespace {
struct TToken
{
    enum Kind { Number, Name, Hex, Literal, Array, Dictionary, Operator };
    Kind kind = Operator;
    QByteArrayView text; // the digits of a hex string, otherwise as written
    qsizetype start = 0;
    qsizetype end = 0;
};

bool IsSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool IsDelimiter(char c)
{
    switch (c) {
    case '(':
    case ')':
    case '<':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}':
    case '/':
    case '%':
        return true;
    default:
        return IsSpace(c);
    }
}

bool StartsNumber(char c)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// A number as page content writes it; from_chars does not take a leading plus sign.
double ToDouble(QByteArrayView text, bool *ok)
{
    const char *begin = text.data();
    const char *end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0;
    const auto [at, error] = std::from_chars(begin, end, value);
    *ok = error == std::errc() && at == end && begin != end;
    return *ok ? value : 0.0;
}

// The tokens of a content stream, as far as page content needs them.
class TLexer
{
public:
    explicit TLexer(const QByteArray &text) : FText(text) {}

    // False at the end and, with failed set, at something it cannot read.
    bool Next(TToken &token, bool &failed)
    {
        while (FPos < FText.size() && IsSpace(FText[FPos]))
            ++FPos;
        if (FPos >= FText.size())
            return false;
        token.start = FPos;
        const char c = FText[FPos];
        if (c == '%') {
            failed = true;
        } else if (c == '<' && (FPos + 1 >= FText.size() || FText[FPos + 1] != '<')) {
            const qsizetype close = FText.indexOf('>', FPos);
            if (close < 0) {
                failed = true;
                return false;
            }
            token.kind = TToken::Hex;
            token.text = QByteArrayView(FText).sliced(FPos + 1, close - FPos - 1);
            FPos = close + 1;
        } else if (c == '(') {
            token.kind = TToken::Literal;
            failed = !SkipLiteral();
        } else if (c == '[' || c == ']' || c == '<' || c == '>' || c == '{' || c == '}') {
            token.kind = c == '[' || c == ']' ? TToken::Array : TToken::Dictionary;
            FPos += c == '<' || c == '>' ? 2 : 1;
        } else {
            ++FPos;
            while (FPos < FText.size() && !IsDelimiter(FText[FPos]))
                ++FPos;
            token.kind = c == '/'          ? TToken::Name
                         : StartsNumber(c) ? TToken::Number
                                           : TToken::Operator;
        }
        token.end = FPos;
        if (token.kind != TToken::Hex)
            token.text = QByteArrayView(FText).sliced(token.start, token.end - token.start);
        return !failed;
    }

private:
    bool SkipLiteral()
    {
        int depth = 0;
        for (; FPos < FText.size(); ++FPos) {
            const char c = FText[FPos];
            if (c == '\\')
                ++FPos;
            else if (c == '(')
                ++depth;
            else if (c == ')' && --depth == 0) {
                ++FPos;
                return true;
            }
        }
        return false;
    }

    const QByteArray &FText;
    qsizetype FPos = 0;
};

// A number with at most the given decimals and no characters it does not need.
QByteArray Number(double value, int decimals)
{
    QByteArray text = QByteArray::number(value, 'f', decimals);
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
    }
    if (text == "-0" || text.isEmpty())
        return "0";
    if (text.startsWith("0."))
        text.remove(0, 1);
    else if (text.startsWith("-0."))
        text.remove(1, 1);
    return text;
}

// The two bytes of a glyph code inside a literal string.
void AppendCode(QByteArray &string, uint code)
{
    for (const char c : {char(code >> 8), char(code & 0xff)}) {
        if (c == '(' || c == ')' || c == '\\')
            string += '\\';
        string += c == '\r' ? QByteArray("\\r") : c == '\n' ? QByteArray("\\n") : QByteArray(1, c);
    }
}

// One text object (BT ... ET) read as the glyphs it draws and written back compactly.
class TTextObject
{
public:
    TTextObject(const TPdfContentCompactor::TFonts &fonts, const QTransform &ctm, qsizetype start)
        : Start(start), FFonts(fonts), FCtm(ctm)
    {
    }

    // Its events point into its own list of matrices.
    TTextObject(const TTextObject &) = delete;
    TTextObject &operator=(const TTextObject &) = delete;

    const qsizetype Start;

    // Takes one operator; an operator it does not know spoils the object.
    void Add(QByteArrayView op, const std::vector<TToken> &operands)
    {
        const auto number = [&operands](size_t i, bool &ok) {
            ok = ok && i < operands.size() && operands[i].kind == TToken::Number;
            return ok ? ToDouble(operands[i].text, &ok) : 0.0;
        };
        bool ok = true;
        if (op == "Tf" && operands.size() == 2 && operands[0].kind == TToken::Name) {
            FFont = FFonts.find(operands[0].text.sliced(1).toByteArray());
            FSize = number(1, ok);
            ok = ok && FFont != FFonts.end() && FSize > 0;
            FEvents.push_back({Event::Font, Verbatim(op, operands)});
        } else if (op == "Tm" && operands.size() == 6) {
            double m[6];
            for (size_t i = 0; i < 6; ++i)
                m[i] = number(i, ok);
            FLine = FText = QPointF();
            FMatrices.emplace_back(m[0], m[1], m[2], m[3], m[4], m[5]);
            FEvents.push_back({Event::Matrix, Verbatim(op, operands)});
            FEvents.back().matrix = &FMatrices.back();
        } else if (op == "Td" && operands.size() == 2) {
            FLine += QPointF(number(0, ok), number(1, ok));
            FText = FLine;
        } else if (op == "Tj" && operands.size() == 1) {
            ok = AddGlyphs(operands[0]);
        } else {
            ok = false;
        }
        FSpoilt = FSpoilt || !ok;
    }

    // The object written compactly from BT to ET; empty when it cannot be.
    QByteArray Finish() const
    {
        if (FSpoilt)
            return {};
        TWriter writer{FCtm};
        writer.SetMatrix(QTransform());
        for (size_t i = 0; i < FEvents.size();) {
            const size_t end = RunEnd(i);
            if (end == i) {
                writer.Take(FEvents[i]);
                ++i;
            } else {
                writer.Run(FEvents.data() + i, end - i);
                i = end;
            }
        }
        return writer.Out + "ET";
    }

    void Measure(TPdfContentCompactor::TAdvances &advances) const
    {
        for (size_t i = 0; !FSpoilt && i + 1 < FEvents.size(); ++i) {
            const Event &glyph = FEvents[i];
            const Event &next = FEvents[i + 1];
            if (glyph.kind == Event::Glyph && next.kind == Event::Glyph &&
                glyph.widths == next.widths && glyph.size == next.size &&
                glyph.at.y() == next.at.y())
                ++advances[glyph.widths->Object][glyph.code]
                          [std::llround((next.at.x() - glyph.at.x()) * 100000 / glyph.size)];
        }
    }

private:
    struct Event
    {
        enum Kind { Font, Matrix, Glyph } kind;
        QByteArray text;
        const QTransform *matrix = nullptr; // of a Matrix event; glyphs are many, matrices few
        uint code = 0;
        QPointF at;
        double size = 0;
        const TPdfContentCompactor::TFontWidths *widths = nullptr;
    };

    // Writes the events again; positions are in the space of the last text matrix.
    struct TWriter
    {
        const QTransform ctm;
        QByteArray Out = "BT\n";
        QPointF line;
        double advanceScale = 1; // points a text space unit along the baseline
        int decimals = 3;        // of a text space position, for a thousandth of a point

        void Take(const Event &event)
        {
            Out += event.text + '\n';
            if (event.kind == Event::Matrix)
                SetMatrix(*event.matrix);
        }

        void SetMatrix(const QTransform &matrix)
        {
            line = QPointF();
            const QTransform linear =
                QTransform(matrix.m11(), matrix.m12(), matrix.m21(), matrix.m22(), 0, 0) *
                QTransform(ctm.m11(), ctm.m12(), ctm.m21(), ctm.m22(), 0, 0);
            advanceScale = QLineF(QPointF(), linear.map(QPointF(1, 0))).length();
            const double largest =
                std::max(advanceScale, QLineF(QPointF(), linear.map(QPointF(0, 1))).length());
            decimals = std::clamp(int(std::ceil(std::log10(largest * 500))), 0, 6);
        }

        // Glyphs on one baseline in one font: a move to the first, then one string.
        void Run(const Event *glyphs, size_t count)
        {
            const QPointF move(std::round((glyphs[0].at.x() - line.x()) * Power()) / Power(),
                               std::round((glyphs[0].at.y() - line.y()) * Power()) / Power());
            if (!move.isNull())
                Out += Number(move.x(), decimals) + ' ' + Number(move.y(), decimals) + " Td";
            line += move;
            QByteArray array;
            QByteArray string;
            double x = line.x();
            const double size = glyphs[0].size;
            for (size_t i = 0; i < count; ++i) {
                const double miss = (x - glyphs[i].at.x()) * advanceScale;
                if (i > 0 && std::abs(miss) > TPdfContentCompactor::Tolerance) {
                    const QByteArray shift = Adjustment(x, glyphs[i].at.x(), miss, size);
                    array += '(' + string + ')' + shift;
                    string.clear();
                    x -= shift.toDouble() * size / 1000;
                }
                AppendCode(string, glyphs[i].code);
                x += glyphs[i].widths->Width(glyphs[i].code) * size / 1000;
            }
            Out += array.isEmpty() ? '(' + string + ")Tj\n" : '[' + array + '(' + string + ")]TJ\n";
        }

        // The shift, in thousandths of the font size, that brings a glyph due at x near
        // target: a whole number where one does (the same spaces of a justified line then
        // repeat), else one aimed at the far side of the tolerance, as the small difference
        // between the widths and Qt's advances drifts on the same way.
        QByteArray Adjustment(double x, double target, double miss, double size) const
        {
            const auto lands = [&](double shift) {
                return std::abs(x - shift * size / 1000 - target) * advanceScale <=
                       TPdfContentCompactor::Tolerance;
            };
            const double whole = std::round((x - target) * 1000 / size);
            if (lands(whole))
                return Number(whole, 0);
            const double aim =
                target - std::copysign(0.8 * TPdfContentCompactor::Tolerance / advanceScale, miss);
            const double exact = (x - aim) * 1000 / size;
            for (const int places : {0, 1, 3}) {
                const double scale = std::pow(10.0, places);
                const double shift = std::round(exact * scale) / scale;
                if (lands(shift))
                    return Number(shift, places);
            }
            return Number(exact, 6);
        }

        double Power() const { return std::pow(10.0, decimals); }
    };

    bool AddGlyphs(const TToken &string)
    {
        if (string.kind != TToken::Hex || string.text.size() % 4 != 0 || FFont == FFonts.end())
            return false;
        for (qsizetype i = 0; i < string.text.size(); i += 4) {
            bool ok = false;
            const uint code = string.text.sliced(i, 4).toUInt(&ok, 16);
            if (!ok)
                return false;
            Event glyph{Event::Glyph, {}, nullptr, code, FText, FSize, &FFont.value()};
            FEvents.push_back(glyph);
            FText.rx() += FFont->Width(code) * FSize / 1000;
        }
        return true;
    }

    // The end of the run of glyphs on one baseline that starts at first.
    size_t RunEnd(size_t first) const
    {
        size_t end = first;
        while (end < FEvents.size() && FEvents[end].kind == Event::Glyph &&
               FEvents[end].at.y() == FEvents[first].at.y())
            ++end;
        return end;
    }

    static QByteArray Verbatim(QByteArrayView op, const std::vector<TToken> &operands)
    {
        QByteArray text;
        for (const TToken &operand : operands)
            text += operand.text.toByteArray() + ' ';
        return text.append(op);
    }

    const TPdfContentCompactor::TFonts &FFonts;
    const QTransform FCtm;
    TPdfContentCompactor::TFonts::const_iterator FFont = FFonts.end();
    double FSize = 0;
    QPointF FLine; // where the line starts and where the next glyph goes
    QPointF FText;
    std::vector<Event> FEvents;
    std::deque<QTransform> FMatrices; // where the Matrix events point: a deque keeps them in place
    bool FSpoilt = false;
};

// Operators that change where text goes or hide binary data from the lexer: content holding
// them outside a text object is left alone.
bool Unsafe(QByteArrayView op)
{
    return op.startsWith('T') || op == "'" || op == "\"" || op == "BI" || op == "ID" || op == "EI";
}
} // namespace

QByteArray TPdfContentCompactor::Walk(const QByteArray &content, TAdvances *advances) const
{
    TLexer lexer(content);
    QByteArray out;
    std::vector<TToken> operands;
    std::vector<QTransform> saved;
    QTransform ctm;
    qsizetype copied = 0;
    std::optional<TTextObject> text;
    TToken token;
    bool failed = false;
    while (lexer.Next(token, failed)) {
        if (token.kind != TToken::Operator) {
            operands.push_back(token);
            continue;
        }
        const QByteArrayView op = token.text;
        if (text && op == "ET" && advances) {
            text->Measure(*advances);
            text.reset();
        } else if (text && op == "ET") {
            const QByteArray compact = text->Finish();
            out += content.mid(copied, text->Start - copied);
            out += compact.isEmpty() ? content.mid(text->Start, token.end - text->Start) : compact;
            copied = token.end;
            text.reset();
        } else if (text) {
            text->Add(op, operands);
        } else if (op == "BT") {
            text.emplace(FFonts, ctm, token.start);
        } else if (op == "q") {
            saved.push_back(ctm);
        } else if (op == "Q" && !saved.empty()) {
            ctm = saved.back();
            saved.pop_back();
        } else if (op == "cm" && operands.size() == 6) {
            double m[6];
            bool ok = true;
            for (size_t i = 0; i < 6 && ok; ++i)
                m[i] = ToDouble(operands[i].text, &ok);
            if (!ok)
                return {};
            ctm = QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) * ctm;
        } else if (op == "Q" || op == "cm" || Unsafe(op)) {
            return {};
        }
        operands.clear();
    }
    if (failed || text)
        return {};
    return out + content.mid(copied);
}
