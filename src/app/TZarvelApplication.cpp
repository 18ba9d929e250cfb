#include "app/TZarvelApplication.h"

#include "app/EAbort.h"
#include "widgets/TDialogSeam.h"

#include <QMessageBox>

namespace {
QString &TitleStorage()
{
    static QString title = QStringLiteral("Zarvel");
    return title;
}
} // namespace

TZarvelApplication::TZarvelApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TZarvelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EAbort &) {
        return false;
    } catch (const std::exception &error) {
        ShowException(error);
        return false;
    } catch (...) {
        ShowErrorMessage(QStringLiteral("Unknown error"));
        return false;
    }
}

QString TZarvelApplication::Title()
{
    return TitleStorage();
}

void TZarvelApplication::SetTitle(const QString &title)
{
    TitleStorage() = title;
}

void TZarvelApplication::ShowException(const std::exception &error)
{
    ShowErrorMessage(QString::fromUtf8(error.what()));
}

void TZarvelApplication::ShowErrorMessage(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, Title(), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("ErrorBox"));
    try {
        TDialogSeam::Exec(box);
    } catch (...) {
        // The error display must not raise in its turn; the message is lost at worst.
    }
}
