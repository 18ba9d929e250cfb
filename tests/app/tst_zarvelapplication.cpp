#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/EAbort.h"
#include "app/TZarvelApplication.h"

#include <QMessageBox>
#include <QTimer>

#include <stdexcept>

namespace {
// Raises from its event handler, as a command does from a menu click.
class TThrower : public QObject
{
public:
    std::function<void()> Raise;
    int Handled = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++Handled;
        Raise();
        return true;
    }
};
} // namespace

// The application object's default error display, which needs the application object itself.
class TestZarvelApplication : public QObject
{
    Q_OBJECT
private slots:
    void exceptionMessageIsShownInACriticalBox()
    {
        ScriptedDialogs script;
        script.Then([](QDialog &dialog) {
            auto *box = qobject_cast<QMessageBox *>(&dialog);
            return box && box->icon() == QMessageBox::Critical ? 1 : 0;
        });
        TThrower thrower;
        thrower.Raise = [] { throw std::runtime_error("Failed to Load Stream"); };
        QEvent event(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(&thrower, &event), false);
        QCOMPARE(thrower.Handled, 1);
        QCOMPARE(script.Seen(), QStringList{"Zarvel\nFailed to Load Stream"});
        QCOMPARE(script.Pending(), 0);
    }

    void silentAbortShowsNothing()
    {
        ScriptedDialogs script;
        TThrower thrower;
        thrower.Raise = [] { throw EAbort(); };
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&thrower, &event);
        QCOMPARE(thrower.Handled, 1);
        QCOMPARE(script.Seen().size(), 0);
    }

    void eventLoopGoesOnAfterAnError()
    {
        ScriptedDialogs script;
        script.ThenAccept();
        bool later = false;
        QTimer::singleShot(0, [] { throw std::runtime_error("Cannot create file x.rtf"); });
        QTimer::singleShot(10, [&later] { later = true; });
        QTRY_VERIFY(later);
        QCOMPARE(script.Seen(), QStringList{"Zarvel\nCannot create file x.rtf"});
    }

    void utf8Messages()
    {
        ScriptedDialogs script;
        script.ThenAccept();
        TZarvelApplication::ShowException(std::runtime_error("Datei \xC3\xA4 fehlt"));
        QCOMPARE(script.LastSeen(), QStringLiteral("Zarvel\nDatei \u00E4 fehlt"));
    }
};

// The test runs inside the program's own application object.
int main(int argc, char *argv[])
{
    TZarvelApplication app(argc, argv);
    TestEnvironment environment;
    TestZarvelApplication tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_zarvelapplication.moc"
