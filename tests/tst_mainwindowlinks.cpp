#include "app/help/tbugreport.h"
#include "app/help/thilfe.h"
#include "info/weblinks.h"
#include "tests/appfixture.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

class MainWindowLinksTest : public QObject
{
    Q_OBJECT
private slots:
    void menuWebLinks_data();
    void menuWebLinks();
    void softwareMenusHoldTheProducts();
    void rotationOrder_data();
    void rotationOrder();
    void holdTimerFlipsTheRotation();
    void statusDoesNotRestartTheHold();
    void languageSwitchRestoresThankYou();
    void supportLabelClick();
    void bugReportByLanguage();
    void helpMenusOpenTheirPage_data();
    void helpMenusOpenTheirPage();
};

namespace {

QAction* entryWithCaptionStart(QMenu* menu, const QString& start)
{
    for (QAction* a : menu->actions()) {
        if (a->text().startsWith(start))
            return a;
    }
    return nullptr;
}

// Drops that many paths that name nothing: the support label shows how many items the drop
// handled, "n Dateien/Ordner geladen".
void showStatus(Tprog* p, int items)
{
    QStringList paths;
    for (int i = 0; i < items; ++i)
        paths.append(QStringLiteral("/nonexistent/%1").arg(i));
    p->dropFiles(paths);
}

} // namespace

void MainWindowLinksTest::menuWebLinks_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("captionStart");
    QTest::addColumn<QString>("address");
    QTest::newRow("German donate") << "Hilfe1"
                                   << "velmora.de/spenden"
                                   << "http://www.velmora.de/spenden&rf=qvm";
    QTest::newRow("English donate") << "Information1"
                                    << "velmora.com/donate"
                                    << "http://www.velmora.com/donate&rf=qvm";
    QTest::newRow("German portal without referrer")
        << "Hilfe1"
        << "velmora-fragen.de/"
        << "http://www.velmora-fragen.de/portal/velmora-software";
    QTest::newRow("English portal without referrer")
        << "Information1"
        << "velmora-answers.com/"
        << "http://www.velmora-answers.com/portal/velmora-software";
    QTest::newRow("German software menu") << "m_soft_de"
                                          << "velmora.de/individuelle-anpassung"
                                          << "http://www.velmora.de/individuelle-anpassung&rf=qvm";
    QTest::newRow("English software menu") << "m_soft_en"
                                           << "velmora.com/individual-fit"
                                           << "http://www.velmora.com/individual-fit&rf=qvm";
}

void MainWindowLinksTest::menuWebLinks()
{
    QFETCH(QString, menu);
    QFETCH(QString, captionStart);
    QFETCH(QString, address);
    AppFixture app;
    QAction* entry = entryWithCaptionStart(ui<QMenu>(menu), captionStart);
    QVERIFY(entry);
    entry->trigger();
    QCOMPARE(app.platform.urls, QStringList{address});
}

void MainWindowLinksTest::softwareMenusHoldTheProducts()
{
    AppFixture app;
    const QList<qv::Product>& products = qv::products();
    QVERIFY(!products.isEmpty());
    const QList<QAction*> de = app.prog()->m_soft_de->actions();
    const QList<QAction*> en = app.prog()->m_soft_en->actions();
    for (int i = 0; i < products.size(); ++i) {
        QCOMPARE(de[i]->objectName(), QStringLiteral("linkde%1").arg(i));
        QCOMPARE(de[i]->text(), products[i].captionDe);
        QVERIFY(!de[i]->icon().isNull());
        QCOMPARE(en[i]->objectName(), QStringLiteral("linken%1").arg(i));
        QCOMPARE(en[i]->text(), products[i].captionEn);
    }
    // The form's own entries follow the products.
    QCOMPARE(de[products.size()], app.prog()->KurzbeschreibungallerProgramme1);
    QCOMPARE(en[products.size()], app.prog()->BriefDescriptionoftheSoftware1);
    de[0]->trigger();
    QCOMPARE(app.platform.urls, QStringList{qv::menuLinkAddress(products[0].captionDe)});
}

void MainWindowLinksTest::rotationOrder_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("captions");
    const QString support =
        QStringLiteral("velmora.de/support - Haben Sie Verbesserungsvorschläge?");
    const QString donate = QStringLiteral("velmora.de/spenden - Falls Ihnen die Software gefällt");
    const QString page = QStringLiteral("velmora.de/quorvel - Hilfe und Informationen");
    QTest::newRow("German six-tick cycle")
        << "de" << QStringList{support, donate, page, donate, support, page, support};
    QTest::newRow("English") << "en"
                             << QStringList{
                                    QStringLiteral("velmora.com/support - Suggest Improvements"),
                                    QStringLiteral("velmora.com/donate - If you like this Tool"),
                                    QStringLiteral("velmora.com/quorvel - Help and Support")};
}

void MainWindowLinksTest::rotationOrder()
{
    QFETCH(QString, language);
    QFETCH(QStringList, captions);
    AppFixture app(language);
    for (const QString& caption : captions) {
        app.prog()->Timer1Timer();
        QCOMPARE(app.prog()->laspenden->text(), caption);
    }
}

void MainWindowLinksTest::holdTimerFlipsTheRotation()
{
    AppFixture app;
    Tprog* p = app.prog();
    QVERIFY(p->Timer1->isActive());
    showStatus(p, 1);
    QVERIFY(p->timerstopper->isActive());
    QCOMPARE(p->laspenden->text(), QStringLiteral("1 Dateien/Ordner geladen"));
    // The rotation still runs during the hold; its next tick would replace the status.
    QVERIFY(p->Timer1->isActive());
    p->timerstopperTimer();
    QVERIFY(!p->Timer1->isActive());
    QVERIFY(!p->timerstopper->isActive());
    QCOMPARE(p->laspenden->text(), QStringLiteral("1 Dateien/Ordner geladen"));

    showStatus(p, 2);
    QCOMPARE(p->laspenden->text(), QStringLiteral("2 Dateien/Ordner geladen"));
    QVERIFY(p->timerstopper->isActive());
    p->timerstopperTimer();
    QVERIFY(p->Timer1->isActive());
    QVERIFY(!p->timerstopper->isActive());
}

void MainWindowLinksTest::statusDoesNotRestartTheHold()
{
    AppFixture app;
    Tprog* p = app.prog();
    showStatus(p, 1);
    QTest::qWait(120);
    showStatus(p, 1);
    QVERIFY(p->timerstopper->remainingTime() <= 10000 - 100);
}

void MainWindowLinksTest::languageSwitchRestoresThankYou()
{
    AppFixture app;
    Tprog* p = app.prog();
    p->Timer1Timer();
    p->Englisch1Click();
    QCOMPARE(p->laspenden->text(), QStringLiteral("velmora.com/donate - Thank you!"));
    showStatus(p, 3);
    p->Deutsch1Click();
    QCOMPARE(p->laspenden->text(), QStringLiteral("velmora.de/spenden - Vielen Dank!"));
}

void MainWindowLinksTest::supportLabelClick()
{
    AppFixture app;
    Tprog* p = app.prog();
    QTest::mouseClick(p->laspenden, Qt::LeftButton);
    // No slash is inserted by the support label rule.
    QCOMPARE(app.platform.urls,
             QStringList{QStringLiteral("http://www.velmora.de/spenden&rf=qvs")});
    showStatus(p, 12);
    QTest::mouseClick(p->laspenden, Qt::LeftButton);
    QCOMPARE(app.platform.urls.size(), 1);
}

void MainWindowLinksTest::bugReportByLanguage()
{
    AppFixture app;
    Tprog* p = app.prog();
    p->m_bugreport->trigger();
    p->FehleroderVerbesserungmelden1->trigger();
    QVERIFY(qv::bugreport_de->isVisible());
    QVERIFY(!qv::bugreport_en->isVisible());
    qv::bugreport_de->hide();
    p->Englisch1Click();
    p->ReportBugorImprovement1->trigger();
    QVERIFY(qv::bugreport_en->isVisible());
    QVERIFY(!qv::bugreport_de->isVisible());
}

void MainWindowLinksTest::helpMenusOpenTheirPage_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("german");
    QTest::addColumn<QString>("page");
    QTest::newRow("Einführung") << "Funktionen2" << true << "pc_hilfe";
    QTest::newRow("Empfehlungen") << "Empfehlungen1" << true << "pc_empf";
    QTest::newRow("Software") << "Software1" << true << "pc_software";
    QTest::newRow("Wieso Spenden?") << "WiesoSpenden1" << true << "pc_spenden";
    QTest::newRow("Lizenz") << "Lizenz1" << true << "pc_lizenz";
    QTest::newRow("Kurzbeschreibung") << "KurzbeschreibungallerProgramme1" << true << "pc_software";
    QTest::newRow("Introduction") << "Introduction1" << false << "pc_hilfe";
    QTest::newRow("Regards") << "Regards1" << false << "pc_empf";
    QTest::newRow("Software (English)") << "Software2" << false << "pc_software";
    QTest::newRow("Why Donate?") << "WhyDonate1" << false << "pc_spenden";
    QTest::newRow("Licence") << "Licence1" << false << "pc_lizenz";
    QTest::newRow("Brief Description")
        << "BriefDescriptionoftheSoftware1" << false << "pc_software";
}

void MainWindowLinksTest::helpMenusOpenTheirPage()
{
    QFETCH(QString, item);
    QFETCH(bool, german);
    QFETCH(QString, page);
    AppFixture app;
    qv::HelpWindow* window = german ? static_cast<qv::HelpWindow*>(qv::hilfe)
                                    : static_cast<qv::HelpWindow*>(qv::hilfe_en);
    qv::HelpWindow* other = german ? static_cast<qv::HelpWindow*>(qv::hilfe_en)
                                   : static_cast<qv::HelpWindow*>(qv::hilfe);
    // Open elsewhere first: the command must switch the page of an open window too.
    window->showPage(QStringLiteral("pc_lizenz"));
    ui<QAction>(item)->trigger();
    QVERIFY(window->isVisible());
    QVERIFY(!other->isVisible());
    QCOMPARE(window->pageControl()->currentWidget()->objectName(), page);
}

QTEST_MAIN(MainWindowLinksTest)
#include "tst_mainwindowlinks.moc"
