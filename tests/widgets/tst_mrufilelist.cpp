#include "TestEnvironment.h"
#include "widgets/TMRUFileList.h"
#include "widgets/TMRUMenuItem.h"

#include <QFile>
#include <QFontMetrics>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>

namespace {

QStringList Texts(const QMenu &menu)
{
    QStringList texts;
    for (QAction *action : menu.actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QStringList Paths(int count)
{
    QStringList paths;
    for (int i = 1; i <= count; ++i)
        paths << QStringLiteral("/cases/file%1.inf").arg(i);
    return paths;
}

// A list set up the way the main window sets up its information-file list.
struct MenuFixture
{
    QMenu menu{QStringLiteral("Document Assembly")};
    QAction *select = nullptr;
    QAction *doIt = nullptr;
    TMRUFileList list;

    MenuFixture()
    {
        select = menu.addAction(QStringLiteral("Edit/Select Information File"));
        menu.addSeparator();
        doIt = menu.addAction(QStringLiteral("Do It"));
        list.SetAutoSave(false);
        list.SetFileMenu(select);
        list.SetUseSubmenu(true);
        list.SetSubmenuName(QStringLiteral("Recent Files"));
        list.SetInsertSeparator(false);
        list.SetMaxCaptionWidth(0);
    }
    QMenu *Submenu() const { return menu.actions().first()->menu(); }
};

} // namespace

class TestMRUFileList : public QObject
{
    Q_OBJECT
private slots:
    void init() { QSettings("Zarvel", "Zarvel").clear(); }

    void addingBeyondMaximumDropsTheFarEnd_data()
    {
        QTest::addColumn<bool>("addToTop");
        QTest::newRow("to top") << true;
        QTest::newRow("to bottom") << false;
    }
    void addingBeyondMaximumDropsTheFarEnd()
    {
        QFETCH(bool, addToTop);
        TMRUFileList list;
        list.SetAutoSave(false);
        list.SetAddToTop(addToTop);
        const QStringList paths = Paths(6);
        for (const QString &path : paths)
            list.AddItem(path);
        QCOMPARE(list.Items().size(), 5);
        QVERIFY(!list.Items().contains(paths.first()));
        QCOMPARE(addToTop ? list.Items().first() : list.Items().last(), paths.last());
    }

    void reusedPathMovesWithoutDuplicate()
    {
        TMRUFileList list;
        list.SetAutoSave(false);
        for (const QString &path : Paths(3))
            list.AddItem(path);
        list.AddItem(QStringLiteral("/CASES/FILE1.INF"));
        QCOMPARE(list.Items().size(), 3);
        // The stored spelling is kept; only the position changes.
        QCOMPARE(list.Items(),
                 QStringList({"/cases/file1.inf", "/cases/file3.inf", "/cases/file2.inf"}));
    }

    void loweringMaximumDropsEntries()
    {
        TMRUFileList list;
        list.SetAutoSave(false);
        for (const QString &path : Paths(5))
            list.AddItem(path);
        list.SetMaximum(2);
        QCOMPARE(list.Items(), QStringList({"/cases/file5.inf", "/cases/file4.inf"}));
    }

    void emptyListShowsNothing()
    {
        MenuFixture f;
        const QStringList before = Texts(f.menu);
        f.list.PopulateMenu();
        QCOMPARE(Texts(f.menu), before);
        f.list.AddItem(QStringLiteral("/a/b.inf"));
        f.list.ClearAllItems();
        QCOMPARE(Texts(f.menu), before);
        QVERIFY(f.list.Items().isEmpty());
    }

    void submenuStandsAboveTheMenuItem()
    {
        MenuFixture f;
        f.list.AddItem(QStringLiteral("/a/one.inf"));
        f.list.AddItem(QStringLiteral("/a/two.inf"));
        QCOMPARE(Texts(f.menu),
                 QStringList({"Recent Files", "Edit/Select Information File", "-", "Do It"}));
        QVERIFY(f.Submenu());
        QCOMPARE(Texts(*f.Submenu()), QStringList({"&1 /a/two.inf", "&2 /a/one.inf", "-",
                                                   "&Clear MRU List", "&Remove Obsolete"}));
        auto *item = qobject_cast<TMRUMenuItem *>(f.Submenu()->actions().at(1));
        QVERIFY(item);
        QCOMPARE(item->ItemNumber(), 2);
        QCOMPARE(item->FullCaption(), QStringLiteral("&2 /a/one.inf"));
    }

    void entriesWithoutSubmenuGoAboveWithSeparator()
    {
        MenuFixture f;
        f.list.SetUseSubmenu(false);
        f.list.SetInsertSeparator(true);
        f.list.SetShowRemoveObsolete(false);
        f.list.AddItem(QStringLiteral("/a/one.inf"));
        QCOMPARE(Texts(f.menu), QStringList({"-", "&1 /a/one.inf", "-", "&Clear MRU List",
                                             "Edit/Select Information File", "-", "Do It"}));
    }

    void displayModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("caption");
        QTest::newRow("file name") << int(TMRUFileList::FileNameOnly) << "letter.tem";
        QTest::newRow("without extension")
            << int(TMRUFileList::FileNameWithoutExtension) << "letter";
        QTest::newRow("custom") << int(TMRUFileList::Custom) << "custom:/docs/letter.tem";
    }
    void displayModes()
    {
        QFETCH(int, mode);
        QFETCH(QString, caption);
        MenuFixture f;
        f.list.OnGetDisplayName = [](const QString &name) { return "custom:" + name; };
        f.list.SetMRUDisplay(TMRUFileList::TMRUDisplay(mode));
        f.list.AddItem(QStringLiteral("/docs/letter.tem"));
        QCOMPARE(f.Submenu()->actions().first()->text(), caption);
    }

    void prefixesRunOutAfterZ()
    {
        QCOMPARE(TMRUFileList::Prefix(0), QStringLiteral("&1 "));
        QCOMPARE(TMRUFileList::Prefix(9), QStringLiteral("&0 "));
        QCOMPARE(TMRUFileList::Prefix(35), QStringLiteral("&Z "));
        QCOMPARE(TMRUFileList::Prefix(36), QString());
    }

    void clickRemovesTheEntryAndReportsIt()
    {
        MenuFixture f;
        QSignalSpy clicks(&f.list, &TMRUFileList::MRUItemClick);
        f.list.AddItem(QStringLiteral("/a/one.inf"));
        f.list.AddItem(QStringLiteral("/a/two.inf"));
        f.Submenu()->actions().at(1)->trigger();
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.first().first().toString(), QStringLiteral("/a/one.inf"));
        QCOMPARE(f.list.Items(), QStringList({"/a/two.inf"}));
        QCOMPARE(Texts(*f.Submenu()).first(), QStringLiteral("&1 /a/two.inf"));

        f.list.SetRemoveOnClick(false);
        f.Submenu()->actions().at(0)->trigger();
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(f.list.Items(), QStringList({"/a/two.inf"}));

        // Entries that go report it while still whole, once each, to the list that made them.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList destroyed;
        connect(&f.list, &TMRUFileList::DestroyMRUItem, this, [&](TMRUMenuItem *item) {
            QCOMPARE(item->List(), &f.list);
            destroyed << item->FullCaption();
        });
        f.list.AddItem(QStringLiteral("/a/three.inf"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        f.list.disconnect(this);
        QCOMPARE(destroyed, QStringList({"&1 /a/two.inf"}));
    }

    void clearAndRemoveObsoleteItems()
    {
        MenuFixture f;
        QFile existing(QStringLiteral("present.inf"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        const QString present = QFileInfo(existing).absoluteFilePath();
        f.list.AddItem(QStringLiteral("/nowhere/gone.inf"));
        f.list.AddItem(present);
        f.Submenu()->actions().last()->trigger(); // "&Remove Obsolete"
        QCOMPARE(f.list.Items(), QStringList({present}));

        f.list.OnRemoveObsolete = [](const QString &) { return true; };
        f.list.RemoveObsoleteItems();
        QVERIFY(f.list.Items().isEmpty());
        QVERIFY(!f.menu.actions().first()->menu());

        f.list.AddItem(present);
        f.Submenu()->actions().at(2)->trigger(); // "&Clear MRU List"
        QVERIFY(f.list.Items().isEmpty());
        QCOMPARE(f.menu.actions().first()->text(), QStringLiteral("Edit/Select Information File"));
    }

    void popupMenuGetsEntriesOnly()
    {
        QMenu popup;
        QAction *existing = popup.addAction(QStringLiteral("Cut"));
        TMRUFileList list;
        list.SetAutoSave(false);
        list.SetMaxCaptionWidth(0);
        list.SetPopupMenu(&popup);
        list.AddItem(QStringLiteral("/a/one.inf"));
        QCOMPARE(Texts(popup), QStringList({"&1 /a/one.inf", "Cut"}));
        QCOMPARE(popup.actions().last(), existing);
    }

    void storeRoundTrip()
    {
        {
            TMRUFileList list;
            list.SetAutoSaveKey(QStringLiteral("MRU Items2"));
            list.Loaded();
            for (const QString &path : Paths(12))
                list.AddItem(path);
        } // saved when freed
        QSettings settings("Zarvel", "Zarvel");
        QCOMPARE(settings.value("Software/My Application/MRU Items2/F0").toString(),
                 QStringLiteral("/cases/file12.inf"));
        QCOMPARE(settings.value("Software/My Application/MRU Items2/F4").toString(),
                 QStringLiteral("/cases/file8.inf"));
        QVERIFY(!settings.contains("Software/My Application/MRU Items2/F5"));

        TMRUFileList again;
        again.SetAutoSaveKey(QStringLiteral("MRU Items2"));
        QVERIFY(again.Items().isEmpty()); // nothing is read before the form is loaded
        again.Loaded();
        QCOMPARE(again.Items(),
                 QStringList({"/cases/file12.inf", "/cases/file11.inf", "/cases/file10.inf",
                              "/cases/file9.inf", "/cases/file8.inf"}));
        // Clearing leaves the store alone until the list is saved; the empty list then
        // leaves no entry behind.
        again.ClearAllItems();
        settings.sync();
        QVERIFY(settings.contains("Software/My Application/MRU Items2/F0"));
        again.SaveToStore();
        settings.sync();
        QVERIFY(!settings.contains("Software/My Application/MRU Items2/F0"));
    }

    void manyEntriesKeepTheirOrder()
    {
        QSettings settings("Zarvel", "Zarvel");
        for (int i = 0; i < 12; ++i)
            settings.setValue(QStringLiteral("Software/My Application/MRU Items/F%1").arg(i),
                              QStringLiteral("/p/%1").arg(i));
        settings.sync();
        TMRUFileList list;
        list.SetAutoSave(false);
        list.SetMaximum(20);
        list.LoadFromStore();
        QCOMPARE(list.Items().size(), 12);
        QCOMPARE(list.Items().at(2), QStringLiteral("/p/2"));
        QCOMPARE(list.Items().at(10), QStringLiteral("/p/10"));
    }

    void iniFileRoundTrip()
    {
        QFile ini(QStringLiteral("mru.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Other]\nkeep=this, and that\n[Recent]\nF0=C:\\old\\x.tem\n");
        ini.close();
        {
            TMRUFileList list;
            list.SetUseRegistry(false);
            list.SetAutoSaveName(QStringLiteral("mru.ini"));
            list.SetAutoSaveKey(QStringLiteral("Recent"));
            list.Loaded();
            QCOMPARE(list.Items(), QStringList({"C:\\old\\x.tem"}));
            list.AddItem(QStringLiteral("C:\\new, folder\\y.tem"));
        }
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(ini.readAll());
        QVERIFY(text.contains("keep=this, and that"));
        QVERIFY(text.contains("F0=C:\\new, folder\\y.tem"));
        QVERIFY(text.contains("F1=C:\\old\\x.tem"));
    }

    void autoSaveNameGetsLeadingBackslash()
    {
        TMRUFileList list;
        list.SetAutoSave(false);
        list.SetAutoSaveName(QStringLiteral("Software\\Zarvel"));
        QCOMPARE(list.AutoSaveName(), QStringLiteral("\\Software\\Zarvel"));
    }

    void longPathsAreShortened_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("ellipsis");
        QTest::newRow("windows") << "C:\\Program Files\\Zarvel Documents\\Clients\\Smith and "
                                    "Jones\\Conveyancing\\contract.tem"
                                 << "...\\";
        QTest::newRow("unix") << "/home/someone/Documents/Clients/Smith and "
                                 "Jones/Conveyancing/contract.tem"
                              << ".../";
    }
    void longPathsAreShortened()
    {
        QFETCH(QString, path);
        QFETCH(QString, ellipsis);
        const QFontMetrics metrics(QApplication::font());
        QVERIFY(metrics.horizontalAdvance(path) > 200);
        const QString shortened = TMRUFileList::ShortenPath(path, 200, metrics);
        QVERIFY2(metrics.horizontalAdvance(shortened) <= 200, qPrintable(shortened));
        QVERIFY(shortened.contains(ellipsis));
        QVERIFY(shortened.endsWith(QStringLiteral("contract.tem")));
        // The nearest folders are kept as long as they fit.
        QVERIFY(shortened.contains(QStringLiteral("Conveyancing")));
        QCOMPARE(TMRUFileList::ShortenPath(path, 100000, metrics), path);
    }

    void unshortenablePathEnds()
    {
        const QFontMetrics metrics(QApplication::font());
        const QString path = QStringLiteral("/") + QString(80, QLatin1Char('x')) + ".inf";
        QCOMPARE(TMRUFileList::ShortenPath(path, 20, metrics), path);
        QCOMPARE(
            TMRUFileList::ShortenPath(QStringLiteral("C:\\a\\") + QString(80, 'y'), 20, metrics),
            QString(80, 'y'));
    }

    void captionsAreShortenedInTheMenu()
    {
        MenuFixture f;
        f.list.SetMaxCaptionWidth(200);
        const QString path = QStringLiteral("/home/someone/Documents/Clients/Smith and "
                                            "Jones/Conveyancing/contract.tem");
        f.list.AddItem(path);
        auto *item = qobject_cast<TMRUMenuItem *>(f.Submenu()->actions().first());
        QVERIFY(item->text().startsWith(QStringLiteral("&1 ")));
        QVERIFY(item->text().contains(QStringLiteral(".../")));
        QCOMPARE(item->FullCaption(), "&1 " + path);
    }
};

ZARVEL_TEST_MAIN(TestMRUFileList)
#include "tst_mrufilelist.moc"
