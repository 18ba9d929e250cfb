#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/AuxiliaryComponents.h"
#include "app/DecimalSeparator.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "calc/ExpressionEvaluator.h"
#include "widgets/SettingsStore.h"
#include "widgets/TBalloon.h"
#include "widgets/TMRUFileList.h"
#include "widgets/TTipDialog.h"
#include "widgets/TTipsForm.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSettings>

#include <memory>

namespace {

// The "Document Assembly" menu, "-" for a separator, a submenu as "caption[items]".
QString MenuLayout(const QMenu &menu)
{
    QStringList items;
    for (const QAction *action : menu.actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator())
            items << QStringLiteral("-");
        else if (action->menu())
            items << action->text() + '[' + MenuLayout(*action->menu()) + ']';
        else
            items << action->text();
    }
    return items.join('|');
}

QString StoredEntry(const QString &subkey, const QString &name)
{
    const auto settings = SettingsStore::Open(TRegRoot::CURRENT_USER);
    settings->beginGroup(SettingsStore::GroupPath(QStringLiteral("\\Software\\My Application")));
    settings->beginGroup(subkey);
    return settings->value(name).toString();
}

void ClearStore()
{
    const auto settings = SettingsStore::Open(TRegRoot::CURRENT_USER);
    settings->remove(SettingsStore::GroupPath(QStringLiteral("\\Software\\My Application")));
}

} // namespace

// The auxiliary components of the main window: the recently used lists in the "Document
// Assembly" menu and the settings store, the balloon, the tip of the day, and the decimal
// separator the evaluator is given at start-up.
class TestWiring : public QObject
{
    Q_OBJECT

private slots:
    void init() { ClearStore(); }

    void recentListsHangUnderTheirItems()
    {
        TMainForm form;
        const QMenu &menu = *form.MainMenu().DocumentAssembly1;
        const QString empty = MenuLayout(menu);
        QVERIFY(!empty.contains(QStringLiteral("Recent")));

        form.MRUFiles1->AddItem(QStringLiteral("/cases/jones.inf"));
        form.MRUFiles2->AddItem(QStringLiteral("/letters/demand.tem"));
        form.MRUFiles2->AddItem(QStringLiteral("/letters/reminder.tem"));
        // The commands keep their places; each list is labelled with its kind.
        const QString special = QStringLiteral("-|&Clear MRU List|&Remove Obsolete");
        const QString commands =
            QStringLiteral("Edit/Select Information File|-|Edit/Select Template File|-|"
                           "Check Template|Do It|Do It for All Rows|Toggle Ins/Overwrite|-");
        QCOMPARE(empty, commands);
        const QString expected =
            QStringLiteral("%2|Recent &Information Files[&1 /cases/jones.inf|%1]|"
                           "Recent Te&mplates[&1 /letters/reminder.tem|&2 /letters/demand.tem|%1]")
                .arg(special, commands);
        QCOMPARE(MenuLayout(menu), expected);

        // Clearing one list takes its submenu away and leaves the other list alone.
        form.MRUFiles1->ClearAllItems();
        QCOMPARE(MenuLayout(menu).count(QStringLiteral("Recent")), 1);
        QCOMPARE(form.MRUFiles2->Items().size(), 2);
    }

    void listsAreKeptApartInTheStore()
    {
        {
            TMainForm form;
            form.MRUFiles1->AddItem(QStringLiteral("/cases/older.inf"));
            form.MRUFiles1->AddItem(QStringLiteral("/cases/jones.inf"));
            form.MRUFiles2->AddItem(QStringLiteral("/letters/demand.tem"));
        }
        QCOMPARE(StoredEntry(QStringLiteral("MRU Items"), QStringLiteral("F0")),
                 QStringLiteral("/cases/jones.inf"));
        QCOMPARE(StoredEntry(QStringLiteral("MRU Items"), QStringLiteral("F1")),
                 QStringLiteral("/cases/older.inf"));
        QCOMPARE(StoredEntry(QStringLiteral("MRU Items2"), QStringLiteral("F0")),
                 QStringLiteral("/letters/demand.tem"));

        TMainForm again;
        QCOMPARE(again.MRUFiles1->Items(), QStringList({"/cases/jones.inf", "/cases/older.inf"}));
        QCOMPARE(again.MRUFiles2->Items(), QStringList{"/letters/demand.tem"});
        QVERIFY(MenuLayout(*again.MainMenu().DocumentAssembly1)
                    .contains(QStringLiteral("|-|Recent &Information Files[&1 /cases/jones.inf|")));
    }

    void balloonAsTheWindowDefinesIt()
    {
        TMainForm form;
        const TBalloon &balloon = *form.Balloon1;
        QCOMPARE(balloon.Color(), QColor(192, 192, 192));
        QCOMPARE(balloon.Font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(balloon.Font().pixelSize(), 11);
        QCOMPARE(balloon.DivisionChar(), QLatin1Char('@'));
        // It goes when the mouse leaves the placeholder, not at the first move over it.
        QVERIFY(!balloon.HideIfMouseMove());
        QVERIFY(!balloon.HideIfMouseClick());
        QCOMPARE(int(balloon.Shape()), int(TPShape::sRoundRect));
        QCOMPARE(int(balloon.TextAlign()), int(TTextAlign::taCenter));
        QCOMPARE(int(balloon.Align()), int(TBalloonAlign::alRight));
        QVERIFY(!balloon.Window());
    }

    void tipOfTheDayRunsInRandomOrder()
    {
        ScriptedDialogs script;
        TMainForm form;
        // No tip at start-up.
        QCOMPARE(script.Unexpected(), 0);
        TTipDialog &tips = *form.TipDialog1;
        QCOMPARE(tips.Tips, TipsOfTheDay());
        QCOMPARE(tips.Tips.size(), 12);
        QCOMPARE(QSet<QString>(tips.Tips.begin(), tips.Tips.end()).size(), 12);
        QVERIFY(tips.Tips.at(10).contains(QLatin1Char('@')));
        QCOMPARE(tips.TipTitleFont.family(), QStringLiteral("Arial"));
        QCOMPARE(tips.TipTitleFont.pixelSize(), 16);
        QVERIFY(tips.TipTitleFont.bold());
        QCOMPARE(tips.TipTitleColor, QColor(Qt::blue));
        QCOMPARE(tips.TipFont.pixelSize(), 11);
        QCOMPARE(int(tips.TipsLocation), int(TTipLocation::locEmbeded));
        QCOMPARE(int(tips.Position), int(TTipShowPos::posScreenCenter));

        tips.RandomTips = false;
        QString shown;
        bool previousVisible = true;
        QString caption;
        script.Then([&](QDialog &dialog) {
            auto *tipsForm = qobject_cast<TTipsForm *>(&dialog);
            if (!tipsForm)
                return int(QDialog::Rejected);
            shown = tipsForm->TipLbl->text();
            previousVisible = !tipsForm->PrevBtn->isHidden();
            caption = tipsForm->windowTitle();
            return int(QDialog::Accepted);
        });
        form.MainMenu().Item(QStringLiteral("TipoftheDay2")).trigger();
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY(tips.RandomTips);
        QVERIFY(!previousVisible);
        QCOMPARE(caption, QStringLiteral("Tip of the day"));
        QVERIFY(tips.Tips.contains(shown));
    }

    void decimalSeparatorOfTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<char>("separator");
        QTest::newRow("C") << QLocale::c() << '.';
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << '.';
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << ',';
        QTest::newRow("French") << QLocale(QLocale::French, QLocale::France) << ',';
        QTest::newRow("Arabic (no 1252 character)")
            << QLocale(QLocale::Arabic, QLocale::SaudiArabia) << '.';
    }

    void decimalSeparatorOfTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(char, separator);
        if (locale.language() == QLocale::Arabic && locale.decimalPoint().size() == 1 &&
            locale.decimalPoint().at(0).unicode() < 0x80)
            QSKIP("this Qt gives Arabic an ASCII decimal separator");
        QCOMPARE(DecimalSeparatorOf(locale), separator);
    }

    void evaluatorReadsTheSystemSeparator()
    {
        UseSystemDecimalSeparator();
        const char separator = DecimalSeparatorOf(QLocale::system());
        QCOMPARE(DecimalSeparator(), separator);
        const long double value = EvaluateExpression(std::string("1") + separator + "5*2");
        QCOMPARE(GetExpressionError(), std::string());
        QCOMPARE(double(value), 3.0);
        SetDecimalSeparator(',');
        EvaluateExpression("1,5*2");
        QCOMPARE(GetExpressionError(), std::string());
        SetDecimalSeparator('.');
    }
};

ZARVEL_TEST_MAIN(TestWiring)
#include "tst_wiring.moc"
