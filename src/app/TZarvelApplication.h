#pragma once

#include <QApplication>
#include <QString>

#include <exception>

// The application object: holds the application title and is the program's default error
// display. An exception that escapes an event handler is shown in a critical message box and the
// event loop goes on; a silent abort is swallowed.
class TZarvelApplication : public QApplication
{
    Q_OBJECT
public:
    TZarvelApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The title the main window's caption is built from ("Zarvel").
    static QString Title();
    static void SetTitle(const QString &title);

    // The default error display: the exception's message (UTF-8) in a critical message box.
    static void ShowException(const std::exception &error);
    static void ShowErrorMessage(const QString &message);
};
