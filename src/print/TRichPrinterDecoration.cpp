// What the printer draws on every page besides the text: the header with its logo, the footer,
// the border lines and the tokens such as the page number, all through the column printer,
// which also prints lines of columns for callers; and the font they are drawn in.
#include "print/TRichPrinter.h"

#include "print/ColumnPrinting.h"

#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QTime>

#include <exception>

// ---- Header font ----------------------------------------------------------------------------

void TRichPrinter::SetFont_HeaderFooter(const QFont &font, const QColor &color)
{
    FSurfaceFont = font;
    FSurfaceFontColor = color;
    ApplySurfaceFont();
}

QFont TRichPrinter::ScaledSurfaceFont() const
{
    // The size in points holds on every device; a font given in pixels counts them at
    // 96 pixels per inch and keeps the whole points that makes.
    QFont font = FSurfaceFont;
    if (font.pointSizeF() <= 0 && font.pixelSize() > 0)
        font.setPointSize(qMax(1, qRound(font.pixelSize() * 72.0 / 96.0)));
    return font;
}

void TRichPrinter::ApplySurfaceFont()
{
    if (FSurfaceFontColor.rgb() == QColor(Qt::white).rgb())
        FSurfaceFontColor = Qt::black;
    if (FCanvas) {
        FCanvas->setFont(ScaledSurfaceFont());
        FCanvas->setPen(FSurfaceFontColor);
    }
    ComputeLineHeight();
}

void TRichPrinter::ComputeLineHeight()
{
    if ((Printing() || FPreviewMode) && FCanvas) {
        const QFontMetrics metrics = FCanvas->fontMetrics();
        FLineHeight = metrics.height() + qMax(0, metrics.leading());
    } else if (HasPrinter()) {
        FLineHeight = QFontMetrics(ScaledSurfaceFont(), FPrinter.get()).height();
    } else {
        FLineHeight = 10;
    }
}

int TRichPrinter::TextWidth(const QString &text) const
{
    if (FCanvas)
        return FCanvas->fontMetrics().horizontalAdvance(text);
    if (HasPrinter())
        return QFontMetrics(ScaledSurfaceFont(), FPrinter.get()).horizontalAdvance(text);
    return QFontMetrics(ScaledSurfaceFont()).horizontalAdvance(text);
}

QString TRichPrinter::FitText(const QString &text, int width) const
{
    return ::FitText(text, width, [this](const QString &t) { return TextWidth(t); });
}

// ---- Decoration and the column printer ------------------------------------------------------

QString TRichPrinter::ExpandTokens(const QString &text) const
{
    const QLocale locale = QLocale::system();
    QString t = ReplaceToken(QStringLiteral("{$LINE}"), QString::number(FLineCount), text);
    t = ReplaceToken(QStringLiteral("{$PAGE}"), QString::number(FPageNumber), t);
    t = ReplaceToken(QStringLiteral("{$DATE}"),
                     locale.toString(QDate::currentDate(), QLocale::ShortFormat), t);
    t = ReplaceToken(QStringLiteral("{$TIME}"),
                     locale.toString(QTime::currentTime(), QLocale::LongFormat), t);
    return ReplaceToken(QStringLiteral("{$TITLE}"), Title(), t);
}

void TRichPrinter::PrintColumns(const QString &text)
{
    DrawColumns(text);
    if (FCurrentY >= 0 && FCurrentY < TextArea().H)
        NewLine();
}

void TRichPrinter::DrawColumns(const QString &text)
{
    const TTextArea a = TextArea();
    const QStringList formats = SplitColumns(FColumnFormat);
    const QStringList texts = SplitColumns(text);
    FCurrentX = a.L;
    const int inset = (LogPixelsX() / 600) * 6;
    for (int i = 0; i < formats.size(); ++i) {
        const TColumnSpec column = ParseColumnFormat(formats.at(i), FDefaultColumnWidth);
        const int cw = UnitsToPixelsX(column.width);
        QString t = i < texts.size() ? texts.at(i) : QString();
        if (t.contains(QLatin1String("{$")))
            t = ExpandTokens(t);
        t = FitText(t, cw);
        const int tw = TextWidth(t);
        int offset = 0;
        if (column.alignment == TColumnAlignment::Right)
            offset = cw - tw;
        else if (column.alignment == TColumnAlignment::Centre)
            offset = qMax(0, (cw - tw) / 2); // a character wider than its column stays on the page
        if (tw < cw - inset) {
            if (column.alignment == TColumnAlignment::Right)
                offset -= inset;
            else if (column.alignment == TColumnAlignment::Left)
                offset += inset;
        }
        if (FCanvas && !t.isEmpty()) {
            try {
                FCanvas->drawText(
                    QPoint(FCurrentX + offset, a.T + FCurrentY + FCanvas->fontMetrics().ascent()),
                    t);
            } catch (const std::exception &) {
                // A page never fails for its decoration.
            }
        }
        FCurrentX += cw;
    }
}

int TRichPrinter::NewLine()
{
    FCurrentX = 0;
    FCurrentY += FLineHeight;
    ++FLineCount;
    if (FCurrentY + FLineHeight >= TextArea().H)
        NewPage();
    return FLineCount;
}

QRect TRichPrinter::LogoRect() const
{
    const TTextArea a = TextArea();
    const int headerTop = a.T >= FLineHeight ? (a.T - FLineHeight) / 2 : 0;
    const int y0 = headerTop + FLineHeight;
    const int top = y0 + RoundHalfEven(FLogoTop / PageHeight() * a.H);
    const int left = a.L + RoundHalfEven(FLogoLeft / PageWidth() * a.W);
    const int right = left + RoundHalfEven(FLogoWidth / PageWidth() * a.W);
    const int bottom = top + RoundHalfEven(FLogoHeight / PageHeight() * a.H);
    return QRect(left, top, right - left, bottom - top);
}

void TRichPrinter::DecoratePage()
{
    ShowProgressStatus(QStringLiteral("Currently Printing"));
    const QString savedFormat = FColumnFormat;
    try {
        if (!FHeader.isEmpty()) {
            ApplySurfaceFont();
            const TTextArea a = TextArea();
            // Centred in the band above the top margin; a band lower than one line puts the
            // header at the top of the printable area instead of above the page.
            const int headerTop = a.T >= FLineHeight ? RoundHalfEven((a.T - FLineHeight) / 2.0) : 0;
            FCurrentY = headerTop - a.T;
            FColumnFormat = FHeaderFormat;
            DrawColumns(FHeader);
            if (!FBitmapLogo.isNull() && FCanvas) {
                const QRect r = LogoRect();
                FCanvas->save();
                FCanvas->setPen(QPen(Qt::black, 0, Qt::DotLine));
                FCanvas->setBrush(Qt::NoBrush);
                FCanvas->drawRect(r);
                FCanvas->drawImage(r, FBitmapLogo);
                FCanvas->restore();
            }
        }
        if (!FFooter.isEmpty()) {
            ApplySurfaceFont();
            const TTextArea a = TextArea();
            FCurrentY = a.H + (a.B - FLineHeight) / 2;
            FColumnFormat = FFooterFormat;
            DrawColumns(FFooter);
        }
    } catch (...) {
        FColumnFormat = savedFormat;
        throw;
    }
    FColumnFormat = savedFormat;
    FCurrentX = 0;
    FCurrentY = 0;
    FLineCount = 0;
    if (OnNewPage)
        OnNewPage(this);

    if (!FCanvas || FPageBorders.empty())
        return;
    const TTextArea a = TextArea();
    FCanvas->save();
    const int b = UnitsToPixelsY(FBorderOffset);
    FCanvas->setPen(QPen(Qt::black, (LogPixelsY() / 600) * 2));
    if (FPageBorders.count(pbTop))
        FCanvas->drawLine(a.L - b, a.T - b, a.L + a.W + b, a.T - b);
    if (FPageBorders.count(pbBottom))
        FCanvas->drawLine(a.L - b, a.T + a.H + b, a.L + a.W + b, a.T + a.H + b);
    const int d = UnitsToPixelsX(FBorderOffset);
    FCanvas->setPen(QPen(Qt::black, (LogPixelsX() / 600) * 2));
    if (FPageBorders.count(pbLeft))
        FCanvas->drawLine(a.L - d, a.T - d, a.L - d, a.T + a.H + d);
    if (FPageBorders.count(pbRight))
        FCanvas->drawLine(a.L + a.W + d, a.T - d, a.L + a.W + d, a.T + a.H + d);
    FCanvas->restore();
}
