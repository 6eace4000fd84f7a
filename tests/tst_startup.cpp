#include "app/filter/tquorvel_filter.h"
#include "app/help/tbugreport.h"
#include "app/help/thilfe.h"
#include "tests/appfixture.h"
#include "tests/designnames.h"
#include "tests/eventloop.h"
#include "text/messagetexts.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTimer>

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void languageFromMarkers_data();
    void languageFromMarkers();
    void windowsInCreationOrder();
    void componentNames_data();
    void componentNames();
    void splashTicks();
    void splashClick();
    void maximiseAtActivation();
    void designState();
    void designFontStays();
    void closingEndsAtSplash();
    void closingPathsInEventLoop_data();
    void closingPathsInEventLoop();
};

void StartupTest::languageFromMarkers_data()
{
    QTest::addColumn<QStringList>("markers");
    QTest::addColumn<QString>("code");
    QTest::newRow("neither") << QStringList{} << "de";
    QTest::newRow("en only") << QStringList{"en"} << "en";
    QTest::newRow("de only") << QStringList{"de"} << "de";
    QTest::newRow("both: de wins") << QStringList{"en", "de"} << "de";
    QTest::newRow("EN in capitals is no marker") << QStringList{"EN"} << "de";
    QTest::newRow("a folder named en is no marker") << QStringList{"en/"} << "de";
    QTest::newRow("en file, de folder: English") << QStringList{"en", "de/"} << "en";
}

void StartupTest::languageFromMarkers()
{
    QFETCH(QStringList, markers);
    QFETCH(QString, code);
    QTemporaryDir dir;
    for (const QString& m : markers) {
        if (m.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir(dir.path()).mkdir(m));
            continue;
        }
        QFile f(dir.filePath(m));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(qv::languageFromMarkerFiles(dir.path()), code);
}

void StartupTest::windowsInCreationOrder()
{
    AppFixture app(QStringLiteral("en"));
    QCOMPARE(app.start()->objectName(), QStringLiteral("start"));
    QCOMPARE(app.start()->spr->text(), QStringLiteral("en"));
    QVERIFY(app.start()->en1->isVisibleTo(app.start()));
    QVERIFY(!app.start()->Image1->isVisibleTo(app.start()));
    QCOMPARE(app.prog()->objectName(), QStringLiteral("prog"));
    QCOMPARE(qv::hilfe->objectName(), QStringLiteral("hilfe"));
    QCOMPARE(qv::hilfe_en->objectName(), QStringLiteral("hilfe_en"));
    QCOMPARE(qv::bugreport_de->objectName(), QStringLiteral("bugreport_de"));
    QCOMPARE(qv::bugreport_en->objectName(), QStringLiteral("bugreport_en"));
    QCOMPARE(qv::quorvel_filter->objectName(), QStringLiteral("quorvel_filter"));
    QCOMPARE(QString::fromLatin1(qv::prog->metaObject()->className()), QStringLiteral("Tprog"));
    QCOMPARE(QString::fromLatin1(qv::start->metaObject()->className()), QStringLiteral("Tstart"));
    QCOMPARE(QString::fromLatin1(qv::quorvel_filter->metaObject()->className()),
             QStringLiteral("Tquorvel_filter"));
    // The main window is created in the start language.
    QCOMPARE(app.prog()->la_anzahl->text(), QStringLiteral("0 Files/Folders loaded"));
    QVERIFY(!app.prog()->isVisible());
}

void StartupTest::componentNames_data()
{
    QTest::addColumn<QString>("name");
    auto addRows = [](const auto& names) {
        for (const char* n : names)
            QTest::newRow(n) << QString::fromLatin1(n);
    };
    addRows(design::widgetNames);
    addRows(design::actionNames);
    addRows(design::menuNames);
    addRows(design::otherNames);
}

void StartupTest::componentNames()
{
    QFETCH(QString, name);
    AppFixture app;
    // The configuration dialogs exist once they have been used (cancelled here).
    app.prog()->m_konfig_save->trigger();
    app.prog()->m_konfig_open->trigger();
    QList<QObject*> found = app.prog()->findChildren<QObject*>(name);
    QVERIFY(!found.isEmpty());
    // A menu of the menu bar shares its name with the action that opens it; nothing else
    // shares a name.
    auto* menu = qobject_cast<QMenu*>(found.constFirst());
    if (menu && menu != app.prog()->PopupMenu1) {
        QVERIFY(found.removeOne(menu->menuAction()));
        QCOMPARE(app.prog()->findChild<QAction*>(name), menu->menuAction());
    }
    QCOMPARE(found.size(), 1);
}

void StartupTest::splashTicks()
{
    AppFixture app;
    Tstart* splash = app.start();
    splash->show();
    splash->Timer1->start();
    for (int tick = 1; tick <= 8; ++tick) {
        splash->Timer1Timer();
        QCOMPARE(app.prog()->isVisible(), tick >= 4);
        QCOMPARE(splash->isVisible(), tick < 6);
        QCOMPARE(splash->Timer1->isActive(), tick < 8);
    }
    QCOMPARE(splash->ticks(), 8);
}

void StartupTest::splashClick()
{
    AppFixture app;
    app.start()->show();
    app.start()->Timer1->start();
    app.start()->Timer1Timer();
    QTest::mouseClick(app.start()->Image1, Qt::LeftButton);
    QVERIFY(app.prog()->isVisible());
    QVERIFY(!app.start()->isVisible());
    QVERIFY(!app.start()->Timer1->isActive());
}

void StartupTest::maximiseAtActivation()
{
    AppFixture app;
    app.prog()->show();
    app.prog()->FormActivate();
    // Only a start configuration of a maximised window asks for it (see tst_configuration).
    QVERIFY(!app.prog()->isMaximized());
}

void StartupTest::designState()
{
    AppFixture app;
    Tprog* p = app.prog();
    QCOMPARE(p->client()->size(), QSize(614, 639));
    QVERIFY(p->Timer1->isActive());
    QCOMPARE(p->Timer1->interval(), 10000);
    QVERIFY(!p->timerstopper->isActive());
    QCOMPARE(p->timerstopper->interval(), 10000);
    QVERIFY(p->acceptDrops());
    QVERIFY(p->m_soft_de->menuAction()->isVisible());
    QVERIFY(!p->m_soft_en->menuAction()->isVisible());
    QVERIFY(p->Hilfe1->menuAction()->isVisible());
    QVERIFY(!p->Information1->menuAction()->isVisible());
    QVERIFY(p->m_konfig_autosave_nie->isChecked());
    QVERIFY(!p->m_konfig_autosave_alles->isChecked());
    QCOMPARE(p->la_anzahl->text(), QStringLiteral("0 Dateien/Ordner geladen"));
    // The statuses are German too.
    p->add2list(QStringLiteral("/nonexistent/a.txt"));
    QCOMPARE(cell(0, qv::ColStatus), QStringLiteral("Neu hinzugefügt"));
}

void StartupTest::closingEndsAtSplash()
{
    AppFixture app;
    app.start()->show();
    app.prog()->show();
    QVERIFY(app.prog()->close());
    QTRY_VERIFY(!app.start()->isVisible());

    app.start()->show();
    app.prog()->show();
    app.prog()->m_closeClick();
    QVERIFY(!app.start()->isVisible());
}

void StartupTest::closingPathsInEventLoop_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<bool>("always");
    QTest::addColumn<bool>("written");
    QTest::newRow("close box, Immer: saved") << true << true << true;
    QTest::newRow("close box, Nie: not saved") << true << false << false;
    QTest::newRow("Beenden, Immer: not saved") << false << true << false;
    QTest::newRow("Beenden, Nie: not saved") << false << false << false;
}

// Inside a running event loop, where ending the program really quits it: the close box saves
// the start configuration under "Immer", "Beenden" never does, and both end with exit code 0.
void StartupTest::closingPathsInEventLoop()
{
    QFETCH(bool, closeBox);
    QFETCH(bool, always);
    QFETCH(bool, written);
    const QString startConfiguration = Tprog::startConfigurationPath();
    QFile::remove(startConfiguration);
    AppFixture app;
    if (always)
        app.prog()->m_konfig_autosave_alles->trigger();
    bool splashClosed = false;
    QTimer::singleShot(0, app.prog(), [&] { app.prog()->show(); });
    QTimer::singleShot(50, app.prog(), [&] {
        if (closeBox)
            app.prog()->close();
        else
            app.prog()->m_close->trigger();
        splashClosed = !app.start()->isVisible();
    });
    app.start()->show();
    QCOMPARE(execWithWatchdog(3), 0);
    // The splash closes within the closing command itself.
    QVERIFY(splashClosed);
    QCOMPARE(QFileInfo::exists(startConfiguration), written);
    QFile::remove(startConfiguration);
}

// A platform theme that sets its own font after the start does not reflow the design.
void StartupTest::designFontStays()
{
    AppFixture app;
    const QFont design = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
    QTRY_COMPARE(QApplication::font(), design);
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
