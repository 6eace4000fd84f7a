// Web links of the main window: menu entries, the support label and its two timers, the help
// and bug-report commands, and the Software menus' product entries.

#include "app/tprog.h"

#include "app/help/tbugreport.h"
#include "app/help/thilfe.h"
#include "app/panel.h"
#include "app/platform.h"
#include "app/windows.h"
#include "info/weblinks.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>

void Tprog::buildSoftwareMenus()
{
    const QList<qv::Product>& list = qv::products();
    softwareicons->icons.clear();
    for (const qv::Product& product : list)
        softwareicons->icons.append(QIcon(product.iconResource));
    auto build = [this, &list](QMenu* target, const QString& prefix, bool german) {
        for (int i = 0; i < list.size(); ++i) {
            const QString caption = german ? list[i].captionDe : list[i].captionEn;
            auto* entry = new QAction(softwareicons->icons.value(i), caption, target);
            entry->setObjectName(prefix + QString::number(i));
            connect(entry, &QAction::triggered, this,
                    [this, entry] { BrowseToMenuCaption(entry); });
            const QList<QAction*> present = target->actions();
            target->insertAction(i < present.size() ? present[i] : nullptr, entry);
        }
    };
    build(m_soft_de, QStringLiteral("linkde"), true);
    build(m_soft_en, QStringLiteral("linken"), false);
}

void Tprog::BrowseToMenuCaption(QAction* sender)
{
    qv::platform().openUrl(qv::menuLinkAddress(sender->text()));
}

void Tprog::BrowseToMenuCaptionWithoutRef(QAction* sender)
{
    qv::platform().openUrl(qv::menuLinkAddressWithoutRef(sender->text()));
}

void Tprog::laspendenClick()
{
    // A progress or count text is not an address; only a link caption opens a page.
    if (qv::isSiteLinkCaption(laspenden->text()))
        qv::platform().openUrl(qv::supportLabelAddress(laspenden->text()));
}

void Tprog::m_bugreportClick()
{
    QWidget* window = qv::languageCode() == QLatin1String("de")
                          ? static_cast<QWidget*>(qv::bugreport_de)
                          : static_cast<QWidget*>(qv::bugreport_en);
    window->show();
    window->raise();
    window->activateWindow();
}

void Tprog::Timer1Timer()
{
    ++m_rotation;
    laspenden->setText(qv::rotationCaption(m_rotation, qv::languageCode()));
}

void Tprog::timerstopperTimer()
{
    // The hold tick flips the rotation: a running one stops, a stopped one starts again.
    if (Timer1->isActive())
        Timer1->stop();
    else
        Timer1->start();
    timerstopper->stop();
}

void Tprog::setSupportStatus(const QString& text)
{
    if (!timerstopper->isActive())
        timerstopper->start();
    laspenden->setText(text);
    // A later status replaces a count that was still waiting to be shown.
    m_supportCountPending = false;
}

void Tprog::showHelpPage(bool german, const QString& page)
{
    if (german)
        qv::hilfe->showPage(page);
    else
        qv::hilfe_en->showPage(page);
}
