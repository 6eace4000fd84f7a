#include "app/help/tbugreport.h"
#include "app/help/tframe.h"
#include "app/help/thilfe.h"
#include "app/platform.h"

#include <QApplication>
#include <QLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <memory>

namespace {

// Records the addresses handed to the browser; every other request fails the test.
class FakePlatform : public qv::Platform
{
public:
    QStringList opened;

    void warning(QWidget*, const QString& text) override { QFAIL(qPrintable(text)); }
    void error(QWidget*, const QString& text) override { QFAIL(qPrintable(text)); }
    bool ask(QWidget*, const QString&) override { return false; }
    bool pickFolderAt(QWidget*, const QString&, QString&) override { return false; }
    QString pickFolderFromDesktop(QWidget*, const QString&) override { return {}; }
    QString runFileDialog(QFileDialog*) override { return {}; }
    void openUrl(const QString& address) override { opened << address; }
    void showItemInFolder(const QString&) override {}
    void showItemProperties(QWidget*, const QString&) override {}
    void copyFilesToClipboard(const QStringList&) override {}
};

std::unique_ptr<qv::HelpWindow> makeHelpWindow(const QString& language)
{
    std::unique_ptr<qv::HelpWindow> window;
    if (language == QLatin1String("de"))
        window = std::make_unique<Thilfe>();
    else
        window = std::make_unique<Thilfe_en>();
    return window;
}

std::unique_ptr<qv::BugReportWindow> makeBugReportWindow(const QString& language)
{
    if (language == QLatin1String("de"))
        return std::make_unique<Tbugreport_de>();
    return std::make_unique<Tbugreport_en>();
}

QString currentPage(const qv::HelpWindow& window)
{
    return window.pageControl()->currentWidget()->objectName();
}

void sendWheel(QWidget* target, int angle)
{
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestHelpWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void pageOrder_data();
    void pageOrder();
    void backAndNextWrap_data();
    void backAndNextWrap();
    void showPageSelectsAndShows_data();
    void showPageSelectsAndShows();
    void wheelMovesByTenWithinRange_data();
    void wheelMovesByTenWithinRange();
    void linkClickOpensAddress_data();
    void linkClickOpensAddress();
    void releaseOutsideLinkOpensNothing();
    void textPagesFitWithoutScrolling_data();
    void textPagesFitWithoutScrolling();
    void bugReportWindow_data();
    void bugReportWindow();
    void bugReportLinks_data();
    void bugReportLinks();

private:
    FakePlatform m_platform;
    qv::Platform* m_previous = nullptr;
};

void TestHelpWindows::initTestCase()
{
    m_previous = qv::setPlatform(&m_platform);
}

void TestHelpWindows::init()
{
    m_platform.opened.clear();
}

void TestHelpWindows::cleanupTestCase()
{
    qv::setPlatform(m_previous);
}

void TestHelpWindows::pageOrder_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("tabs");
    QTest::newRow("de") << "de"
                        << QStringList{"Hilfe", "Empfehlungen", "Software", "Wieso spenden?",
                                       "Lizenz"};
    QTest::newRow("en") << "en"
                        << QStringList{"Help", "Regards", "Software", "Why Donate?", "Licence"};
}

void TestHelpWindows::pageOrder()
{
    QFETCH(QString, language);
    QFETCH(QStringList, tabs);
    const auto window = makeHelpWindow(language);
    QTabWidget* pc = window->pageControl();
    const QStringList pages{"pc_hilfe", "pc_empf", "pc_software", "pc_spenden", "pc_lizenz"};
    QCOMPARE(pc->count(), pages.size());
    for (int i = 0; i < pc->count(); ++i) {
        QCOMPARE(pc->widget(i)->objectName(), pages.at(i));
        QCOMPARE(pc->tabText(i), tabs.at(i));
    }
    QCOMPARE(window->windowTitle(), QStringLiteral("Quorvel - Velmora"));
    QCOMPARE(window->size(), qv::HelpWindow::clientSize);
}

void TestHelpWindows::backAndNextWrap_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("de/weiter on Lizenz") << "de"
                                         << "btide2"
                                         << "pc_lizenz"
                                         << "pc_hilfe";
    QTest::newRow("de/zurück on Hilfe") << "de"
                                        << "btide1"
                                        << "pc_hilfe"
                                        << "pc_lizenz";
    QTest::newRow("de/weiter on Software") << "de"
                                           << "btide2"
                                           << "pc_software"
                                           << "pc_spenden";
    QTest::newRow("de/zurück on Empfehlungen") << "de"
                                               << "btide1"
                                               << "pc_empf"
                                               << "pc_hilfe";
    QTest::newRow("en/next on Licence") << "en"
                                        << "btien2"
                                        << "pc_lizenz"
                                        << "pc_hilfe";
    QTest::newRow("en/back on Help") << "en"
                                     << "btien1"
                                     << "pc_hilfe"
                                     << "pc_lizenz";
    QTest::newRow("en/next on Help") << "en"
                                     << "btien2"
                                     << "pc_hilfe"
                                     << "pc_empf";
    QTest::newRow("en/back on Why Donate") << "en"
                                           << "btien1"
                                           << "pc_spenden"
                                           << "pc_software";
}

void TestHelpWindows::backAndNextWrap()
{
    QFETCH(QString, language);
    QFETCH(QString, button);
    QFETCH(QString, from);
    QFETCH(QString, to);
    const auto window = makeHelpWindow(language);
    window->showPage(from);
    auto* pushButton = window->findChild<QPushButton*>(button);
    QVERIFY(pushButton);
    QTest::mouseClick(pushButton, Qt::LeftButton);
    QCOMPARE(currentPage(*window), to);
}

void TestHelpWindows::showPageSelectsAndShows_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("openOn"); // empty: the window is hidden at first
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");
    QTest::newRow("de/hidden to Empfehlungen") << "de"
                                               << ""
                                               << "pc_empf"
                                               << "pc_empf";
    QTest::newRow("de/open on Lizenz to Software") << "de"
                                                   << "pc_lizenz"
                                                   << "pc_software"
                                                   << "pc_software";
    QTest::newRow("en/hidden to Licence") << "en"
                                          << ""
                                          << "pc_lizenz"
                                          << "pc_lizenz";
    QTest::newRow("en/open on Help to Why Donate") << "en"
                                                   << "pc_hilfe"
                                                   << "pc_spenden"
                                                   << "pc_spenden";
    QTest::newRow("de/unknown page keeps the page") << "de"
                                                    << "pc_spenden"
                                                    << "pc_nothing"
                                                    << "pc_spenden";
    // The product list has children of its own; a page name must name a page.
    QTest::newRow("en/frame child is no page") << "en"
                                               << "pc_hilfe"
                                               << "ScrollBox2"
                                               << "pc_hilfe";
}

void TestHelpWindows::showPageSelectsAndShows()
{
    QFETCH(QString, language);
    QFETCH(QString, openOn);
    QFETCH(QString, page);
    QFETCH(QString, expected);
    const auto window = makeHelpWindow(language);
    if (!openOn.isEmpty())
        window->showPage(openOn);
    QCOMPARE(window->isVisible(), !openOn.isEmpty());
    window->showPage(page);
    QVERIFY(window->isVisible());
    QCOMPARE(currentPage(*window), expected);
    window->close();
    QVERIFY(!window->isVisible());
    window->showPage(page);
    QVERIFY(window->isVisible());
}

void TestHelpWindows::wheelMovesByTenWithinRange_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("start"); // -1: the bottom of the range
    QTest::addColumn<QList<int>>("wheel");
    QTest::addColumn<int>("expected"); // -1: the bottom of the range
    QTest::newRow("de/one notch down") << "de" << 0 << QList<int>{-120} << 10;
    QTest::newRow("de/three down one up") << "de" << 0 << QList<int>{-120, -120, -120, 120} << 20;
    QTest::newRow("de/up at the top") << "de" << 0 << QList<int>{120} << 0;
    QTest::newRow("de/up near the top") << "de" << 4 << QList<int>{120} << 0;
    QTest::newRow("en/down at the bottom") << "en" << -1 << QList<int>{-120} << -1;
    QTest::newRow("en/up from the bottom") << "en" << -1 << QList<int>{120} << -10;
    QTest::newRow("en/small touchpad step moves 10") << "en" << 0 << QList<int>{-15} << 10;
}

void TestHelpWindows::wheelMovesByTenWithinRange()
{
    QFETCH(QString, language);
    QFETCH(int, start);
    QFETCH(QList<int>, wheel);
    QFETCH(int, expected);
    const auto window = makeHelpWindow(language);
    window->showPage("pc_software");
    QScrollArea* box = window->infoFrame()->scrollBox();
    QCOMPARE(box->objectName(), language == "de" ? "ScrollBox1" : "ScrollBox2");
    QCOMPARE(box->widget()->size(), QSize(481, 890));

    QScrollBar* bar = box->verticalScrollBar();
    const int bottom = 890 - box->viewport()->height();
    QVERIFY(bottom > 0);
    QCOMPARE(bar->maximum(), bottom);
    bar->setValue(start < 0 ? bottom : start);
    for (int angle : wheel)
        sendWheel(box->viewport(), angle);
    QCOMPARE(bar->value(), expected == -1 ? bottom : expected < 0 ? bottom + expected : expected);
}

void TestHelpWindows::linkClickOpensAddress_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("address");
    QTest::newRow("de/program page") << "de"
                                     << "pc_hilfe"
                                     << "lkProgramm"
                                     << "http://www.velmora.de/quorvel&rf=qvh";
    QTest::newRow("de/support") << "de"
                                << "pc_hilfe"
                                << "lkSupport"
                                << "http://www.velmora.de/support&rf=qvh";
    QTest::newRow("de/webdesign") << "de"
                                  << "pc_empf"
                                  << "lkWebdesign"
                                  << "http://www.velmora-web.de/webdesign&rf=qvh";
    QTest::newRow("de/individuell") << "de"
                                    << "pc_empf"
                                    << "lkIndividuell"
                                    << "http://www.velmora.de/individuell&rf=qvh";
    QTest::newRow("de/bare second site") << "de"
                                         << "pc_empf"
                                         << "lkService"
                                         << "http://www.velmora-web.de/&rf=qvh";
    QTest::newRow("de/donate page") << "de"
                                    << "pc_spenden"
                                    << "lkSpenden"
                                    << "http://www.velmora.de/spenden&rf=qvh";
    QTest::newRow("de/licence page licence") << "de"
                                             << "pc_lizenz"
                                             << "lkLizenz"
                                             << "http://www.velmora.de/lizenz&rf=qvh";
    QTest::newRow("de/licence page donate") << "de"
                                            << "pc_lizenz"
                                            << "lkSpenden"
                                            << "http://www.velmora.de/spenden&rf=qvh";
    QTest::newRow("de/software overview") << "de"
                                          << "pc_software"
                                          << "lk_software"
                                          << "http://www.velmora.de/software&rf=qvh";
    QTest::newRow("de/first icon") << "de"
                                   << "pc_software"
                                   << "icon1"
                                   << "http://www.velmora.de/quorvel&rf=qvh";
    QTest::newRow("en/program page") << "en"
                                     << "pc_hilfe"
                                     << "lkProgramm"
                                     << "http://www.velmora.com/quorvel&rf=qvh";
    QTest::newRow("en/individual") << "en"
                                   << "pc_empf"
                                   << "lkIndividuell"
                                   << "http://www.velmora.com/individual&rf=qvh";
    QTest::newRow("en/bare second site") << "en"
                                         << "pc_empf"
                                         << "lkService"
                                         << "http://www.velmora-web.com/&rf=qvh";
    QTest::newRow("en/donate page") << "en"
                                    << "pc_spenden"
                                    << "lkSpenden"
                                    << "http://www.velmora.com/donate&rf=qvh";
    QTest::newRow("en/licence page licence") << "en"
                                             << "pc_lizenz"
                                             << "lkLizenz"
                                             << "http://www.velmora.com/licence&rf=qvh";
    QTest::newRow("en/licence page donate") << "en"
                                            << "pc_lizenz"
                                            << "lkSpenden"
                                            << "http://www.velmora.com/donate&rf=qvh";
    QTest::newRow("en/software overview") << "en"
                                          << "pc_software"
                                          << "lk_software"
                                          << "http://www.velmora.com/software&rf=qvh";
    QTest::newRow("en/second icon") << "en"
                                    << "pc_software"
                                    << "icon2"
                                    << "http://www.velmora.com/tessaline&rf=qvh";
}

void TestHelpWindows::linkClickOpensAddress()
{
    QFETCH(QString, language);
    QFETCH(QString, page);
    QFETCH(QString, link);
    QFETCH(QString, address);
    const auto window = makeHelpWindow(language);
    window->showPage(page);
    QWidget* pageWidget = window->pageControl()->currentWidget();
    QCOMPARE(pageWidget->objectName(), page);
    auto* target = pageWidget->findChild<QWidget*>(link);
    QVERIFY(target);
    if (auto* label = qobject_cast<QLabel*>(target)) {
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(label->font().underline());
        QVERIFY(label->font().bold());
    }
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(m_platform.opened, QStringList{address});
}

void TestHelpWindows::releaseOutsideLinkOpensNothing()
{
    Thilfe window;
    window.showPage("pc_hilfe");
    auto* link = window.findChild<qv::LinkLabel*>("lkSupport");
    QVERIFY(link);
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, 2));
    QVERIFY(m_platform.opened.isEmpty());
}

void TestHelpWindows::textPagesFitWithoutScrolling_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("page");
    for (const char* language : {"de", "en"})
        for (const char* page : {"pc_hilfe", "pc_empf", "pc_lizenz"})
            QTest::addRow("%s/%s", language, page) << QString(language) << QString(page);
}

// The prose pages would scroll rather than clip; with the usual fonts they must not need to.
void TestHelpWindows::textPagesFitWithoutScrolling()
{
    QFETCH(QString, language);
    QFETCH(QString, page);
    const auto window = makeHelpWindow(language);
    window->showPage(page);
    auto* scroll = window->findChild<QScrollArea*>(page + "_scroll");
    QVERIFY(scroll);
    QCOMPARE(scroll->verticalScrollBar()->maximum(), 0);
    for (QLabel* label : scroll->widget()->findChildren<QLabel*>()) {
        if (label->wordWrap())
            QVERIFY2(label->height() >= label->heightForWidth(label->width()),
                     qPrintable(label->objectName()));
        else
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->objectName()));
    }
}

void TestHelpWindows::bugReportWindow_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("greeting");
    QTest::newRow("de") << "de"
                        << "bugreport_de" << QSize(330, 368) << "Fehler oder Verbesserung melden"
                        << "Sehr geehrter Anwender,";
    QTest::newRow("en") << "en"
                        << "bugreport_en" << QSize(312, 346) << "Report Bug or Improvement"
                        << "Dear User,";
}

void TestHelpWindows::bugReportWindow()
{
    QFETCH(QString, language);
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QString, caption);
    QFETCH(QString, greeting);
    const auto window = makeBugReportWindow(language);
    QCOMPARE(window->objectName(), name);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->Label16->text(), greeting);
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window->minimumSize(), size);
    QCOMPARE(window->maximumSize(), size);
    // Everything the layout holds fits into the fixed client area.
    QLayout* layout = window->layout();
    QVERIFY(layout->totalHeightForWidth(size.width()) <= size.height());
    QVERIFY(layout->totalMinimumSize().width() <= size.width());

    window->show();
    QVERIFY(window->isVisible());
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    QVERIFY(!window->isVisible());
}

void TestHelpWindows::bugReportLinks_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("address");
    QTest::newRow("de/support") << "de"
                                << "Label70"
                                << "http://www.velmora.de/support&rf=qvr";
    QTest::newRow("de/individuell") << "de"
                                    << "Label1"
                                    << "http://www.velmora.de/individuell&rf=qvr";
    QTest::newRow("en/support") << "en"
                                << "Label70"
                                << "http://www.velmora.com/support&rf=qvr";
    QTest::newRow("en/individual") << "en"
                                   << "Label1"
                                   << "http://www.velmora.com/individual&rf=qvr";
}

void TestHelpWindows::bugReportLinks()
{
    QFETCH(QString, language);
    QFETCH(QString, link);
    QFETCH(QString, address);
    const auto window = makeBugReportWindow(language);
    window->show();
    auto* label = window->findChild<QLabel*>(link);
    QVERIFY(label);
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(m_platform.opened, QStringList{address});
}

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
