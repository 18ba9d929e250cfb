#pragma once

#include <QCoreApplication>

// Makes the Qt application a fuzz target needs on its first input (TApplication: QGuiApplication
// for documents and fonts, QApplication for widgets), on the offscreen platform unless another
// is asked for.
template <typename TApplication> void EnsureFuzzApplication(const char *name)
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char *argv[] = {const_cast<char *>(name), nullptr};
    // Lives as long as the process: destroying it in the exit handlers, after Qt's own
    // globals are gone, crashes.
    static TApplication *application = new TApplication(argc, argv);
    Q_UNUSED(application);
}
