#pragma once

#include <QString>

#include <stdexcept>

// Every failure of the printer component: the message is the text shown to the user.
class ELinePrinter : public std::runtime_error
{
public:
    explicit ELinePrinter(const QString &message) : std::runtime_error(message.toStdString()) {}
};
