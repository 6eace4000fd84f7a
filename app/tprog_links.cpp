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
    auto build = [this, &list](QMenu* target, const QString& prefix, qv::Language language) {
        for (int i = 0; i < list.size(); ++i) {
            const QString caption = qv::pick(language, list[i].captionDe, list[i].captionEn);
            auto* entry = new QAction(softwareicons->icons.value(i), caption, target);
            entry->setObjectName(prefix + QString::number(i));
            connect(entry, &QAction::triggered, this,
                    [this, entry] { BrowseToMenuCaption(entry); });
            const QList<QAction*> present = target->actions();
            target->insertAction(i < present.size() ? present[i] : nullptr, entry);
        }
    };
    build(m_soft_de, QStringLiteral("linkde"), qv::Language::German);
    build(m_soft_en, QStringLiteral("linken"), qv::Language::English);
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
    QWidget* window =
        qv::pick<QWidget*>(qv::interfaceLanguage(), qv::bugreport_de, qv::bugreport_en);
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

void Tprog::showHelpPage(qv::Language language, const QString& page)
{
    qv::pick<qv::HelpWindow*>(language, qv::hilfe, qv::hilfe_en)->showPage(page);
}
