#pragma once

#include <QPrinter>
#include <QString>

#include <cstring>
#include <stdexcept>

// Every failure of the printer component: the message is the text shown to the user.
class ELinePrinter : public std::runtime_error
{
public:
    explicit ELinePrinter(const QString &message) : std::runtime_error(message.toStdString()) {}

    // A failure of the printer itself: the usual words, then the file or printer the job went
    // to and why (error: the system's error number left by the failed step, 0 when unknown),
    // so that a full disk or a vanished printer tells which and what.
    static ELinePrinter OfPrinter(const QString &words, const QPrinter &printer, int error)
    {
        const QString target = printer.outputFileName().isEmpty()
                                   ? QStringLiteral("printer \"%1\"").arg(printer.printerName())
                                   : QStringLiteral("\"%1\"").arg(printer.outputFileName());
        QString reason = error != 0 ? QString::fromLocal8Bit(std::strerror(error))
                                    : QStringLiteral("the printer refused it");
        if (printer.printerState() == QPrinter::Aborted)
            reason = QStringLiteral("the job was cancelled");
        QString message = words;
        if (message.endsWith(QLatin1Char('.')))
            message.chop(1);
        return ELinePrinter(QStringLiteral("%1: %2 (%3).").arg(message, target, reason));
    }
};
