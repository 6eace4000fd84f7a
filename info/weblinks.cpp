#include "info/weblinks.h"

#include "text/messagetexts.h"

namespace qv {

namespace {

const QString scheme = QStringLiteral("http://www.");
const QString referrerKey = QStringLiteral("&rf=qv");
const QString descriptionSeparator = QStringLiteral(" - ");

QString referrer(QChar source)
{
    return referrerKey + source;
}

void replaceFirst(QString& text, const QString& what, const QString& by)
{
    const qsizetype at = text.indexOf(what);
    if (at >= 0)
        text.replace(at, what.size(), by);
}

// A bare host followed directly by the referrer would make the host end in "&rf=..."; the
// slash keeps the referrer out of the host name.
QString insertSlashBeforeReferrer(QString address)
{
    replaceFirst(address, QStringLiteral(".de&"), QStringLiteral(".de/&"));
    replaceFirst(address, QStringLiteral(".com&"), QStringLiteral(".com/&"));
    return address;
}

// Steps 1 to 3 shared by the menu and the support label: accelerators out, description cut off,
// the referrer appended once.
QString addressWithoutDescription(const QString& caption, QChar source)
{
    QString address = scheme + QString(caption).remove(QLatin1Char('&')) + referrer(source);
    const qsizetype cut = address.indexOf(descriptionSeparator);
    if (cut >= 0)
        address = address.left(cut) + referrer(source);
    return address;
}

} // namespace

QString siteLinkCaption(const QString& host, const QString& path, const QString& description)
{
    QString caption = host;
    if (!path.isEmpty())
        caption += QLatin1Char('/') + path;
    if (!description.isEmpty())
        caption += descriptionSeparator + description;
    return caption;
}

QString menuLinkAddress(const QString& caption)
{
    return insertSlashBeforeReferrer(addressWithoutDescription(caption, QLatin1Char('m')));
}

QString menuLinkAddressWithoutRef(const QString& caption)
{
    QString address = scheme + QString(caption).remove(QLatin1Char('&'));
    const qsizetype cut = address.indexOf(descriptionSeparator);
    if (cut >= 0)
        address.truncate(cut);
    return address;
}

QString supportLabelAddress(const QString& caption)
{
    return addressWithoutDescription(caption, QLatin1Char('s'));
}

QString captionLinkAddress(const QString& caption, QChar source)
{
    return insertSlashBeforeReferrer(scheme + caption + referrer(source));
}

QString rotationCaption(int counter, const QString& languageCode)
{
    const Language language = languageOfCode(languageCode);
    const QString site = pick(language, hosts::siteDe, hosts::siteEn);
    if (counter % 3 == 0)
        return siteLinkCaption(site, QStringLiteral("quorvel"),
                               pick(language, "Hilfe und Informationen", "Help and Support"));
    if (counter % 2 != 0)
        return siteLinkCaption(
            site, QStringLiteral("support"),
            pick(language, "Haben Sie Verbesserungsvorschläge?", "Suggest Improvements"));
    return siteLinkCaption(
        site, pick(language, "spenden", "donate"),
        pick(language, "Falls Ihnen die Software gefällt", "If you like this Tool"));
}

QString thankYouCaption(const QString& languageCode)
{
    const Language language = languageOfCode(languageCode);
    return siteLinkCaption(pick(language, hosts::siteDe, hosts::siteEn),
                           pick(language, "spenden", "donate"),
                           pick(language, "Vielen Dank!", "Thank you!"));
}

bool isSiteLinkCaption(const QString& caption)
{
    const QString text = QString(caption).remove(QLatin1Char('&'));
    for (const QString* host : {&hosts::siteDe, &hosts::siteEn, &hosts::secondDe, &hosts::secondEn,
                                &hosts::portalDe, &hosts::portalEn}) {
        if (!text.startsWith(*host))
            continue;
        const QStringView rest = QStringView(text).mid(host->size());
        if (rest.isEmpty() || rest.startsWith(QLatin1Char('/')) ||
            rest.startsWith(descriptionSeparator))
            return true;
    }
    return false;
}

const QList<Product>& products()
{
    static const QList<Product> list = [] {
        struct Entry
        {
            const char* name;
            const char* path;
            const char* descriptionDe;
            const char* descriptionEn;
            const char* icon;
        };
        // Quorvel first: the menu and the information frame start with the program at hand.
        const Entry entries[] = {
            {"Quorvel", "quorvel", "Dateien und Ordner umbenennen", "Rename files and folders",
             ":/artwork/quorvel.png"},
            {"Tessaline", "tessaline", "Bilder verkleinern und umwandeln",
             "Shrink and convert pictures", ":/artwork/products/tessaline.png"},
            {"Dupravo", "dupravo", "Doppelte Dateien finden und aufräumen",
             "Find and clear out duplicate files", ":/artwork/products/dupravo.png"},
            {"Ordelis", "ordelis", "Ordner vergleichen und abgleichen",
             "Compare and synchronise folders", ":/artwork/products/ordelis.png"},
            {"Textrova", "textrova", "Text in vielen Dateien suchen und ersetzen",
             "Find and replace text in many files", ":/artwork/products/textrova.png"},
            {"Kalvent", "kalvent", "Termine und Erinnerungen im Blick",
             "Keep appointments and reminders in view", ":/artwork/products/kalvent.png"},
        };
        QList<Product> result;
        for (const Entry& e : entries) {
            Product p;
            p.name = QString::fromUtf8(e.name);
            p.path = QString::fromUtf8(e.path);
            p.descriptionDe = QString::fromUtf8(e.descriptionDe);
            p.descriptionEn = QString::fromUtf8(e.descriptionEn);
            p.captionDe = siteLinkCaption(hosts::siteDe, p.path, p.descriptionDe);
            p.captionEn = siteLinkCaption(hosts::siteEn, p.path, p.descriptionEn);
            p.iconResource = QString::fromUtf8(e.icon);
            result.append(p);
        }
        return result;
    }();
    return list;
}

} // namespace qv
