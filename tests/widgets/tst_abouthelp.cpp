#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "widgets/MemoryStatus.h"
#include "widgets/TAboutBox.h"
#include "widgets/TForm1.h"
#include "widgets/THtmlPane.h"

#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

class TestAboutHelp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void memoryLines_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("4 MB") << quint64(4194304) << "4,096 KB";
        QTest::newRow("below a thousand") << quint64(1023 * 1024 + 1023) << "1,023 KB";
        QTest::newRow("16 GB") << quint64(16) * 1024 * 1024 * 1024 << "16,777,216 KB";
        QTest::newRow("none") << quint64(0) << "0 KB";
    }
    void memoryLines()
    {
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QString formatted = MemoryStatus::FormatPhysMem(bytes);
        // The separator is the locale's; the tests' locale may use another one.
        const QString separator = QLocale::system().groupSeparator();
        formatted.replace(separator, QStringLiteral(","));
        QCOMPARE(formatted, text);
    }

    void memoryLoad()
    {
        QCOMPARE(MemoryStatus::FormatMemoryLoad(37), QStringLiteral("37 %"));
        QCOMPARE(MemoryStatus::LoadPercent(1000, 250), 75);
        QCOMPARE(MemoryStatus::LoadPercent(0, 0), 0);
        QCOMPARE(MemoryStatus::LoadPercent(100, 200), 0);
        const MemoryStatus::Status status = MemoryStatus::Read();
        QVERIFY(status.TotalPhys > 0);
        QVERIFY(status.MemoryLoad >= 0 && status.MemoryLoad <= 100);
    }

    void aboutBoxShowsTheFigures()
    {
        TAboutBox box;
        QCOMPARE(box.ProductName->text(), QStringLiteral("Zarvel"));
        QVERIFY(box.PhysMem->text().endsWith(QStringLiteral(" KB")));
        QVERIFY(box.FreeRes->text().endsWith(QStringLiteral(" %")));
        QVERIFY(box.OKButton->isDefault());
        QCOMPARE(box.size(), QSize(357, 243));
    }

    void helpWindowLoadsTheHelpFileOnEveryShow()
    {
        QFile help(QStringLiteral("help.htm"));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.write("<html><body><h1>First version</h1></body></html>");
        help.close();
        TForm1 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Zarvel Help"));
        QVERIFY(form.HelpFileName().endsWith(QStringLiteral("/zarvelhelp.htm")));
        form.SetHelpFileName(QFileInfo(help).absoluteFilePath());
        form.show();
        QVERIFY(form.HtmlPane1->toPlainText().contains(QStringLiteral("First version")));
        form.e1->trigger();
        QVERIFY(!form.isVisible());

        QVERIFY(help.open(QIODevice::WriteOnly));
        help.write("<html><body><p>Second version</p></body></html>");
        help.close();
        form.show();
        QVERIFY(form.HtmlPane1->toPlainText().contains(QStringLiteral("Second version")));
        QVERIFY(!form.HtmlPane1->isBackwardAvailable());
        QVERIFY(!(form.HtmlPane1->textInteractionFlags() & Qt::TextSelectableByMouse));
    }

    void missingHelpFileIsReported()
    {
        TForm1 form;
        form.SetHelpFileName(QStringLiteral("/nowhere/zarvelhelp.htm"));
        form.show();
        QVERIFY(form.HtmlPane1->toPlainText().contains(QStringLiteral("/nowhere/zarvelhelp.htm")));
        THtmlPane pane;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 pane.LoadFromFile(QStringLiteral("/none.htm")));
    }

    void loadCommandShowsTheChosenFile()
    {
        QFile other(QStringLiteral("other.html"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("<p>Another page</p>");
        other.close();
        TForm1 form;
        ScriptedDialogs script;
        script.ThenChooseFile(QFileInfo(other).absoluteFilePath());
        script.ThenReject();
        form.L1->trigger();
        QVERIFY(form.HtmlPane1->toPlainText().contains(QStringLiteral("Another page")));
        form.L1->trigger(); // cancelled: the page stays
        QVERIFY(form.HtmlPane1->toPlainText().contains(QStringLiteral("Another page")));
        QCOMPARE(script.Pending(), 0);
    }

    void installedHelpFileIsBesideTheExecutables()
    {
        const QString binDir = qEnvironmentVariable("ZARVEL_BIN_DIR");
        if (binDir.isEmpty())
            QSKIP("not run by CTest");
        const QString path = binDir + QStringLiteral("/zarvelhelp.htm");
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        THtmlPane pane;
        pane.LoadFromFile(path);
        QVERIFY(pane.toPlainText().contains(QStringLiteral("Do It")));
    }
};

ZARVEL_TEST_MAIN(TestAboutHelp)
#include "tst_abouthelp.moc"
