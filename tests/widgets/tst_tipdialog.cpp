#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "widgets/TTipDialog.h"
#include "widgets/TTipsForm.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

namespace {

// Runs the dialog, lets the check see the prepared form, and closes it.
bool RunWith(TTipDialog &dialog, const std::function<void(TTipsForm &)> &check)
{
    ScriptedDialogs script;
    script.Then([&](QDialog &d) {
        auto *form = qobject_cast<TTipsForm *>(&d);
        if (form)
            check(*form);
        return int(QDialog::Accepted);
    });
    const bool result = dialog.Execute();
    if (script.Pending() != 0 || script.Unexpected() != 0)
        qWarning("the tip dialog was not run exactly once");
    return result;
}

} // namespace

class TestTipDialog : public QObject
{
    Q_OBJECT
private slots:
    void sequentialOrderWrapsAround()
    {
        TTipDialog dialog;
        dialog.Tips = {"first", "second", "third"};
        QStringList seen;
        RunWith(dialog, [&](TTipsForm &form) {
            QVERIFY(form.PrevBtn->isVisibleTo(&form));
            seen << form.TipLbl->text();
            form.NextBtn->click();
            seen << form.TipLbl->text();
            form.NextBtn->click();
            form.NextBtn->click();
            seen << form.TipLbl->text();
            form.PrevBtn->click();
            seen << form.TipLbl->text();
            form.PrevBtn->click();
            seen << form.TipLbl->text();
        });
        QCOMPARE(seen, QStringList({"first", "second", "first", "third", "second"}));
    }

    void randomOrderNeverRepeatsATip_data()
    {
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("two alternate") << QStringList{"a", "b"};
        QTest::newRow("three") << QStringList{"a", "b", "c"};
    }
    void randomOrderNeverRepeatsATip()
    {
        QFETCH(QStringList, tips);
        TTipDialog dialog;
        dialog.Tips = tips;
        dialog.RandomTips = true;
        QSet<QString> seen;
        RunWith(dialog, [&](TTipsForm &form) {
            QVERIFY(!form.PrevBtn->isVisibleTo(&form));
            QString last = form.TipLbl->text();
            seen << last;
            for (int i = 0; i < 200; ++i) {
                form.NextBtn->click();
                const QString now = form.TipLbl->text();
                QVERIFY(now != last);
                QVERIFY(tips.contains(now));
                seen << now;
                last = now;
            }
        });
        QCOMPARE(seen.size(), tips.size());
    }

    void singleRandomTipStays()
    {
        TTipDialog dialog;
        dialog.Tips = {"only"};
        dialog.RandomTips = true;
        RunWith(dialog, [&](TTipsForm &form) {
            QCOMPARE(form.TipLbl->text(), QStringLiteral("only"));
            form.NextBtn->click();
            QCOMPARE(form.TipLbl->text(), QStringLiteral("only"));
        });
    }

    void noTipsDisablesStepping()
    {
        TTipDialog dialog;
        RunWith(dialog, [&](TTipsForm &form) {
            QVERIFY(form.TipLbl->text().isEmpty());
            QVERIFY(!form.NextBtn->isEnabled());
            QVERIFY(!form.PrevBtn->isEnabled());
            QCOMPARE(form.windowTitle(), QStringLiteral("Tip of the day"));
            QCOMPARE(form.TipTitleLbl->text(), QStringLiteral("Did you know..."));
        });
    }

    void substituteBreaksLines_data()
    {
        QTest::addColumn<QString>("substitute");
        QTest::addColumn<int>("lines");
        QTest::newRow("twice") << "##" << 3;
        QTest::newRow("empty substitute") << "" << 1;
    }
    void substituteBreaksLines()
    {
        QFETCH(QString, substitute);
        QFETCH(int, lines);
        TTipDialog dialog;
        dialog.Tips = {"one##two##three"};
        dialog.CRLFSubstitute = substitute;
        RunWith(dialog, [&](TTipsForm &form) {
            QCOMPARE(int(form.TipLbl->text().split('\n').size()), lines);
        });
    }

    void captionTitleAndCheckBox()
    {
        TTipDialog dialog;
        dialog.DlgCaption = "Hints";
        dialog.TipTitle = "Remember";
        dialog.Tips = {"x"};
        dialog.ShowAtStartup = true;
        const bool result = RunWith(dialog, [&](TTipsForm &form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("Hints"));
            QCOMPARE(form.TipTitleLbl->text(), QStringLiteral("Remember"));
            QVERIFY(form.ShowChk->isChecked());
            QCOMPARE(form.ShowChk->text(), QStringLiteral(" &Show tips at startup"));
            form.ShowChk->setChecked(false);
        });
        QVERIFY(!result);
        QVERIFY(!dialog.ShowAtStartup);
    }

    void tipsFromAnIniFileKeepTheirOrder()
    {
        QFile ini("tips.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        QByteArray text = "[Other]\nTip1=not this\n[Tips]\n";
        for (int i = 1; i <= 12; ++i)
            text += "Tip" + QByteArray::number(i) + "=Tip number " + QByteArray::number(i) +
                    ", with a comma\n";
        ini.write(text);
        ini.close();

        TTipDialog dialog;
        dialog.TipsLocation = TTipLocation::locINIFile;
        dialog.INIFile = "tips.ini";
        dialog.INISection = "Tips";
        dialog.Tips = {"embedded tip is replaced"};
        RunWith(dialog, [&](TTipsForm &form) {
            QCOMPARE(form.TipLbl->text(), QStringLiteral("Tip number 1, with a comma"));
            form.PrevBtn->click();
            QCOMPARE(form.TipLbl->text(), QStringLiteral("Tip number 12, with a comma"));
        });
        QCOMPARE(dialog.Tips.size(), 12);

        TTipDialog missing;
        missing.INIFile = "nowhere.ini";
        missing.INISection = "Tips";
        QVERIFY(!missing.LoadTipsFromIni());
        QVERIFY(missing.Tips.isEmpty());
    }

    void tipsFromTheSettingsStore()
    {
        {
            QSettings settings("Zarvel", "Zarvel");
            for (int i = 1; i <= 11; ++i)
                settings.setValue(QStringLiteral("Software/Zarvel/Tips/T%1").arg(i),
                                  QStringLiteral("stored %1").arg(i));
        }
        TTipDialog dialog;
        dialog.RegistryKey = "\\Software\\Zarvel\\Tips";
        QVERIFY(dialog.LoadTipsFromRegistry());
        QCOMPARE(dialog.Tips.size(), 11);
        QCOMPARE(dialog.Tips.at(1), QStringLiteral("stored 2"));

        TTipDialog none;
        none.RegistryKey = "\\Software\\Nothing";
        QVERIFY(!none.LoadTipsFromRegistry());
    }

    void pictureShowsThePanelColourAroundTheBulb()
    {
        const QImage picture = TTipsForm::TipPicture(QColor(10, 200, 30)).toImage();
        QCOMPARE(picture.pixelColor(0, picture.height() - 1), QColor(10, 200, 30));
        QCOMPARE(picture.pixelColor(0, 0), QColor(10, 200, 30));
        QVERIFY(picture.pixelColor(20, 14) != QColor(10, 200, 30));
    }
};

ZARVEL_TEST_MAIN(TestTipDialog)
#include "tst_tipdialog.moc"
