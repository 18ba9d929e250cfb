#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "widgets/TDialogSeam.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

class TestDialogSeam : public QObject
{
    Q_OBJECT
private slots:
    void scriptedAnswersRunInOrder()
    {
        ScriptedDialogs script;
        script.ThenClick("button2");
        script.ThenReject();

        QDialog first;
        new QLabel("Save changes?", &first);
        auto *b1 = new QPushButton("Yes", &first);
        b1->setObjectName("button1");
        auto *b2 = new QPushButton("No", &first);
        b2->setObjectName("button2");
        QObject::connect(b1, &QPushButton::clicked, &first, [&] { first.done(1); });
        QObject::connect(b2, &QPushButton::clicked, &first, [&] { first.done(2); });
        QCOMPARE(TDialogSeam::Exec(first), 2);
        QVERIFY(script.LastSeen().contains("Save changes?"));

        QDialog second;
        QCOMPARE(TDialogSeam::Exec(second), int(QDialog::Rejected));
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);

        QDialog third;
        QCOMPARE(TDialogSeam::Exec(third), int(QDialog::Rejected));
        QCOMPARE(script.Unexpected(), 1);
    }

    void handlerIsRemovedWithTheScript()
    {
        {
            ScriptedDialogs script;
            QVERIFY(TDialogSeam::HasHandler());
        }
        QVERIFY(!TDialogSeam::HasHandler());
    }

    void environmentKeepsTestsAwayFromRealFolders()
    {
        QVERIFY(QDir::currentPath().startsWith(QDir::tempPath()));
        QSettings settings("Zarvel", "Zarvel");
        QVERIFY(settings.fileName().startsWith(QDir::tempPath()));
    }
};

ZARVEL_TEST_MAIN(TestDialogSeam)
#include "tst_dialogseam.moc"
