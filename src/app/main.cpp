#include "app/DecimalSeparator.h"
#include "app/TMainForm.h"
#include "app/TZarvelApplication.h"
#include "richedit/LayoutMemory.h"
#include "widgets/TForm1.h"
#include "widgets/TForm2.h"

int main(int argc, char *argv[])
{
    KeepLayoutMemory();
    TZarvelApplication application(argc, argv);
    TZarvelApplication::SetTitle(QStringLiteral("Zarvel"));
    // The settings store of the recently used lists and the print settings.
    QCoreApplication::setOrganizationName(QStringLiteral("Zarvel"));
    QCoreApplication::setApplicationName(QStringLiteral("Zarvel"));

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
    return application.exec();
}
