#pragma once

#include <QList>
#include <QString>

namespace qv {

// The maker's hosts, written into captions without scheme and "www.".
namespace hosts {
inline const QString siteDe = QStringLiteral("velmora.de");
inline const QString siteEn = QStringLiteral("velmora.com");
inline const QString secondDe = QStringLiteral("velmora-web.de");
inline const QString secondEn = QStringLiteral("velmora-web.com");
inline const QString portalDe = QStringLiteral("velmora-fragen.de");
inline const QString portalEn = QStringLiteral("velmora-answers.com");
} // namespace hosts

// host, "/" and path when there is one, " - " and the description when there is one.
QString siteLinkCaption(const QString& host, const QString& path = {},
                        const QString& description = {});

// The address a click opens, built from the clicked text.
QString menuLinkAddress(const QString& caption);                  // menu entries, referrer "qvm"
QString menuLinkAddressWithoutRef(const QString& caption);        // the portal entries
QString supportLabelAddress(const QString& caption);              // laspenden, referrer "qvs"
QString captionLinkAddress(const QString& caption, QChar source); // link texts, "h" or "r"

// The support label's rotation caption after the counter was raised to `counter`.
QString rotationCaption(int counter, const QString& languageCode);
// The thank-you caption that every application of the language writes into the support label.
QString thankYouCaption(const QString& languageCode);

// True when caption names one of the maker's hosts (host, then the end, "/" or " - "); the
// support label also shows status texts, which are not links.
bool isSiteLinkCaption(const QString& caption);

// One of the maker's programs, as the Software menus and the information frames list it.
struct Product
{
    QString name;
    QString path;      // page on the maker's site
    QString captionDe; // site link caption for the German menu
    QString captionEn;
    QString descriptionDe; // one line in the information frame
    QString descriptionEn;
    QString iconResource; // ":/..." picture of the product
};
const QList<Product>& products();

} // namespace qv
