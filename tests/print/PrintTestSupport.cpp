#include "PrintTestSupport.h"

#include "print/TRichPreviewForm.h"

#include <QCoreApplication>
#include <QFile>
#include <QPrinter>

std::unique_ptr<TRichPrinter> NewPdfRichPrinter(const QString &fileName)
{
    auto printer = std::make_unique<TRichPrinter>(TRichPrinter::NewPdfPrinter(fileName), nullptr);
    printer->SetShowProgress(false);
    return printer;
}

std::vector<QPicture> PreviewPages(TRichPrinter &printer, QTextEdit &edit)
{
    printer.SetCompressPreview(false);
    printer.PreviewRichEdit(edit);
    std::vector<QPicture> pages;
    for (int i = 0; QFile::exists(TRichPreviewForm::PageFileName(i, false)); ++i) {
        QPicture page;
        page.load(TRichPreviewForm::PageFileName(i, false));
        pages.push_back(page);
    }
    if (TRichPreviewForm *form = printer.PreviewForm())
        form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return pages;
}

QString NumberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("Line %1 of the document").arg(i, 5, 10, QLatin1Char('0'));
    return lines.join(QLatin1Char('\n'));
}
