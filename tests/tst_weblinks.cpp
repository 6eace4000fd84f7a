#include "info/weblinks.h"

#include <QSet>
#include <QTest>

using namespace qv;

class TestWebLinks : public QObject
{
    Q_OBJECT

private slots:
    void siteLinkCaption_data();
    void siteLinkCaption();
    void menuLinkAddress_data();
    void menuLinkAddress();
    void menuLinkAddressWithoutRef_data();
    void menuLinkAddressWithoutRef();
    void supportLabelAddress_data();
    void supportLabelAddress();
    void captionLinkAddress_data();
    void captionLinkAddress();
    void rotationCaption_data();
    void rotationCaption();
    void thankYouCaption_data();
    void thankYouCaption();
    void isSiteLinkCaption_data();
    void isSiteLinkCaption();
    void productsFormMenuCaptions();
};

void TestWebLinks::siteLinkCaption_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bare host") << hosts::secondDe << QString() << QString() << "velmora-web.de";
    QTest::newRow("host and path")
        << hosts::siteEn << "support" << QString() << "velmora.com/support";
    QTest::newRow("host, path, description") << hosts::siteDe << "spenden"
                                             << "Vielen Dank!"
                                             << "velmora.de/spenden - Vielen Dank!";
    QTest::newRow("host and description") << hosts::siteDe << QString() << "Start"
                                          << "velmora.de - Start";
}

void TestWebLinks::siteLinkCaption()
{
    QFETCH(QString, host);
    QFETCH(QString, path);
    QFETCH(QString, description);
    QFETCH(QString, expected);
    QCOMPARE(qv::siteLinkCaption(host, path, description), expected);
}

void TestWebLinks::menuLinkAddress_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    QTest::newRow("German donate entry") << "velmora.de/spenden - Wenn Sie diese Anwendung mögen"
                                         << "http://www.velmora.de/spenden&rf=qvm";
    QTest::newRow("English donate entry") << "velmora.com/donate - If you like this Application"
                                          << "http://www.velmora.com/donate&rf=qvm";
    QTest::newRow("bare German host") << "velmora.de"
                                      << "http://www.velmora.de/&rf=qvm";
    QTest::newRow("bare English host with description") << "velmora-web.com - Our web design"
                                                        << "http://www.velmora-web.com/&rf=qvm";
    QTest::newRow("accelerator removed")
        << "velmora.de/quorvel-&hilfe - Einführung in diese Software"
        << "http://www.velmora.de/quorvel-hilfe&rf=qvm";
    QTest::newRow("ampersand in description") << "velmora.com/individual-fit - Fit & Finish"
                                              << "http://www.velmora.com/individual-fit&rf=qvm";
    QTest::newRow("cut at first separator only") << "velmora.de/spenden - a - b"
                                                 << "http://www.velmora.de/spenden&rf=qvm";
    QTest::newRow("product entry")
        << products().first().captionEn << "http://www.velmora.com/quorvel&rf=qvm";
}

void TestWebLinks::menuLinkAddress()
{
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    QCOMPARE(qv::menuLinkAddress(caption), expected);
}

void TestWebLinks::menuLinkAddressWithoutRef_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    QTest::newRow("German portal")
        << "velmora-fragen.de/portal/velmora-software - FAQ und Fragen zu dieser Software stellen"
        << "http://www.velmora-fragen.de/portal/velmora-software";
    QTest::newRow("English portal with accelerator")
        << "velmora-answers.com/portal/velmora-software - Ask &Questions about this Software"
        << "http://www.velmora-answers.com/portal/velmora-software";
    QTest::newRow("bare host, no slash added") << "velmora-fragen.de"
                                               << "http://www.velmora-fragen.de";
}

void TestWebLinks::menuLinkAddressWithoutRef()
{
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    QCOMPARE(qv::menuLinkAddressWithoutRef(caption), expected);
}

void TestWebLinks::supportLabelAddress_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    QTest::newRow("rotation caption")
        << qv::rotationCaption(1, "de") << "http://www.velmora.de/support&rf=qvs";
    QTest::newRow("thank-you caption")
        << qv::thankYouCaption("en") << "http://www.velmora.com/donate&rf=qvs";
    QTest::newRow("bare host keeps no slash") << "velmora.de"
                                              << "http://www.velmora.de&rf=qvs";
    QTest::newRow("accelerator removed") << "velmora.com/sup&port - Suggest"
                                         << "http://www.velmora.com/support&rf=qvs";
}

void TestWebLinks::supportLabelAddress()
{
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    QCOMPARE(qv::supportLabelAddress(caption), expected);
}

void TestWebLinks::captionLinkAddress_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QChar>("source");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bare second site")
        << "velmora-web.de" << QChar('h') << "http://www.velmora-web.de/&rf=qvh";
    QTest::newRow("bare English second site")
        << "velmora-web.com" << QChar('h') << "http://www.velmora-web.com/&rf=qvh";
    QTest::newRow("help link text unchanged")
        << "velmora.de/support" << QChar('h') << "http://www.velmora.de/support&rf=qvh";
    QTest::newRow("bug report link")
        << "velmora.com/individual" << QChar('r') << "http://www.velmora.com/individual&rf=qvr";
    QTest::newRow("ampersand kept")
        << "velmora.de/a&b" << QChar('h') << "http://www.velmora.de/a&b&rf=qvh";
    QTest::newRow("separator not cut")
        << "velmora.de/x - y" << QChar('h') << "http://www.velmora.de/x - y&rf=qvh";
}

void TestWebLinks::captionLinkAddress()
{
    QFETCH(QString, caption);
    QFETCH(QChar, source);
    QFETCH(QString, expected);
    QCOMPARE(qv::captionLinkAddress(caption, source), expected);
}

void TestWebLinks::rotationCaption_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("expected"); // captions of ticks 1 to 6

    const QString supportDe = "velmora.de/support - Haben Sie Verbesserungsvorschläge?";
    const QString donateDe = "velmora.de/spenden - Falls Ihnen die Software gefällt";
    const QString pageDe = "velmora.de/quorvel - Hilfe und Informationen";
    const QString supportEn = "velmora.com/support - Suggest Improvements";
    const QString donateEn = "velmora.com/donate - If you like this Tool";
    const QString pageEn = "velmora.com/quorvel - Help and Support";

    QTest::newRow("de") << "de"
                        << QStringList{supportDe, donateDe, pageDe, donateDe, supportDe, pageDe};
    QTest::newRow("en") << "en"
                        << QStringList{supportEn, donateEn, pageEn, donateEn, supportEn, pageEn};
    QTest::newRow("unknown code is English")
        << "fr" << QStringList{supportEn, donateEn, pageEn, donateEn, supportEn, pageEn};
    QTest::newRow("upper-case DE is English")
        << "DE" << QStringList{supportEn, donateEn, pageEn, donateEn, supportEn, pageEn};
}

void TestWebLinks::rotationCaption()
{
    QFETCH(QString, code);
    QFETCH(QStringList, expected);
    for (int tick = 1; tick <= 12; ++tick)
        QCOMPARE(qv::rotationCaption(tick, code), expected.at((tick - 1) % 6));
}

void TestWebLinks::thankYouCaption_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("de") << "de"
                        << "velmora.de/spenden - Vielen Dank!";
    QTest::newRow("en") << "en"
                        << "velmora.com/donate - Thank you!";
    QTest::newRow("empty code") << ""
                                << "velmora.com/donate - Thank you!";
}

void TestWebLinks::thankYouCaption()
{
    QFETCH(QString, code);
    QFETCH(QString, expected);
    QCOMPARE(qv::thankYouCaption(code), expected);
}

void TestWebLinks::isSiteLinkCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("expected");
    QTest::newRow("rotation caption") << qv::rotationCaption(3, "en") << true;
    QTest::newRow("bare host") << "velmora-web.de" << true;
    QTest::newRow("portal with path") << "velmora-answers.com/portal/x" << true;
    QTest::newRow("status text") << "12 Dateien geladen" << false;
    QTest::newRow("host as prefix of another word") << "velmora.delta" << false;
    QTest::newRow("empty") << "" << false;
}

void TestWebLinks::isSiteLinkCaption()
{
    QFETCH(QString, caption);
    QFETCH(bool, expected);
    QCOMPARE(qv::isSiteLinkCaption(caption), expected);
}

void TestWebLinks::productsFormMenuCaptions()
{
    const QList<Product>& list = products();
    QVERIFY(!list.isEmpty());
    QCOMPARE(list.first().name, QStringLiteral("Quorvel"));
    QCOMPARE(list.first().iconResource, QStringLiteral(":/artwork/quorvel.png"));
    QSet<QString> paths;
    for (const Product& p : list) {
        // A path with blanks, "&" or upper case would break the address built from the caption.
        QVERIFY2(!p.path.isEmpty() && p.path == p.path.toLower() && !p.path.contains(' ') &&
                     !p.path.contains('&'),
                 qPrintable(p.path));
        QVERIFY2(!paths.contains(p.path), qPrintable(p.path));
        paths.insert(p.path);
        QCOMPARE(qv::menuLinkAddress(p.captionDe), "http://www.velmora.de/" + p.path + "&rf=qvm");
        QCOMPARE(qv::menuLinkAddress(p.captionEn), "http://www.velmora.com/" + p.path + "&rf=qvm");
        QVERIFY(p.iconResource.startsWith(":/"));
    }
}

QTEST_GUILESS_MAIN(TestWebLinks)
#include "tst_weblinks.moc"
