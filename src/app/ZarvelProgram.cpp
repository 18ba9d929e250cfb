#include "app/ZarvelProgram.h"

#include "app/CommandLine.h"
#include "app/DecimalSeparator.h"
#include "app/StartupFiles.h"
#include "app/TAutoRecovery.h"
#include "app/TMainForm.h"
#include "app/TRecoveryOffer.h"
#include "app/TZarvelApplication.h"
#include "richedit/LayoutMemory.h"
#include "text/LeftoverFiles.h"
#include "widgets/ProgramPicture.h"
#include "widgets/TForm1.h"
#include "widgets/TForm2.h"
#include "widgets/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTimer>

#include <cstdio>

namespace {
QStringList RawArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}
} // namespace

int RunZarvel(int argc, char *argv[], const std::function<void(TMainForm &)> &started)
{
    // Help and version are answered before anything needs a display.
    const CommandLine early(RawArguments(argc, argv));
    if (early.Action() == CommandLine::TAction::Help) {
        std::fputs(qPrintable(CommandLine::Usage()), stdout);
        return 0;
    }
    if (early.Action() == CommandLine::TAction::Version) {
        std::fputs(qPrintable(CommandLine::VersionText()), stdout);
        return 0;
    }

    KeepLayoutMemory();
    TZarvelApplication application(argc, argv);
    // Scratch folders of instances that were killed.
    RemoveLeftoversIn(QFile::encodeName(QDir::tempPath()).toStdString());
    TZarvelApplication::SetTitle(QStringLiteral("Zarvel"));
    // The settings store of the recently used lists and the print settings.
    QCoreApplication::setOrganizationName(QStringLiteral("Zarvel"));
    QCoreApplication::setApplicationName(QStringLiteral("Zarvel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZARVEL_VERSION));
    // The desktop finds the program's entry, and with it its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("zarvel"));
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("zarvel"), QIcon(ProgramPicture(64))));

    // The application object has taken out its own options; the rest are the user's.
    const CommandLine commandLine(QCoreApplication::arguments().mid(1));
    if (commandLine.Action() == CommandLine::TAction::Error) {
        std::fprintf(stderr, "zarvel: %s\n%s", qPrintable(commandLine.Error()),
                     qPrintable(CommandLine::Usage()));
        return 2;
    }

    // Numbers in "Math calculate" and in merged values are read with the user's separator.
    UseSystemDecimalSeparator();

    TMainForm mainForm;

    // Created now, shown and hidden later; closing the main window ends the program even when
    // the help window is open.
    TForm1 helpWindow;
    helpWindow.setAttribute(Qt::WA_QuitOnClose, false);
    mainForm.SetHelpWindow(&helpWindow);
    TForm2 creditsWindow;
    creditsWindow.setAttribute(Qt::WA_QuitOnClose, false);
    mainForm.SetCreditsWindow(&creditsWindow);

    mainForm.show();
    // Once the window is up, so that a message about a file has the window behind it; the
    // recovery offer comes after the files of the command line are open.
    const QStringList files = commandLine.Files();
    QTimer::singleShot(0, &mainForm, [&mainForm, files, started] {
        if (!files.isEmpty())
            OpenStartupFiles(mainForm, files);
        if (started)
            started(mainForm);
        TMainForm::RunCommand(
            [&mainForm] { TRecoveryOffer::Run(mainForm, mainForm.AutoRecovery()); });
    });
    const int result = application.exec();
    WorkingFolder::RemoveLeftovers();
    return result;
}
