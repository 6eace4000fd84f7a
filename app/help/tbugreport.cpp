#include "app/help/tbugreport.h"

#include "app/platform.h"
#include "info/weblinks.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace qv {

BugReportWindow::BugReportWindow(Language language, QSize client, QWidget* parent) : QWidget(parent)
{
    const QString site = pick(language, hosts::siteDe, hosts::siteEn);
    setUpToolWindow(this, pick(language, "bugreport_de", "bugreport_en"),
                    pick(language, "Fehler oder Verbesserung melden", "Report Bug or Improvement"),
                    client, true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);

    Label16 = new QLabel(pick(language, "Sehr geehrter Anwender,", "Dear User,"), this);
    Label16->setObjectName(QStringLiteral("Label16"));
    Label16->setTextFormat(Qt::PlainText);
    QFont greeting = Label16->font();
    greeting.setPointSizeF(greeting.pointSizeF() * 1.35);
    Label16->setFont(greeting);
    layout->addWidget(Label16);

    layout->addWidget(
        makeParagraph(QStringLiteral("Label2"),
                      pick(language,
                           "wir entwickeln unsere Programme ständig weiter. Haben Sie einen "
                           "Fehler gefunden oder wünschen Sie sich eine Verbesserung? Dann "
                           "melden Sie es uns jederzeit auf dieser Seite:",
                           "we keep improving our programs. Have you found a bug, or is there "
                           "an improvement you would like? Tell us at any time on this page:"),
                      this));
    Label70 = new LinkLabel(QStringLiteral("Label70"),
                            siteLinkCaption(site, QStringLiteral("support")), this, linkColour);
    layout->addWidget(Label70, 0, Qt::AlignLeft);

    layout->addWidget(
        makeParagraph(QStringLiteral("Label3"),
                      pick(language,
                           "Die Angabe Ihrer E-Mail-Adresse ist freiwillig. Mit ihr erhalten "
                           "Sie eine Antwort und erfahren, wann die Änderung fertig ist.",
                           "Giving your e-mail address is up to you. With it you get an answer "
                           "and hear when the change is done."),
                      this));
    layout->addWidget(
        makeParagraph(QStringLiteral("Label4"),
                      pick(language,
                           "Für besondere Aufgaben passt oft eine Lösung nach Maß oder die "
                           "Anpassung vorhandener Software am besten. Mehr dazu hier:",
                           "Special tasks are often best served by a solution made to measure "
                           "or by adapting existing software. Read more here:"),
                      this));
    Label1 = new LinkLabel(QStringLiteral("Label1"),
                           siteLinkCaption(site, pick(language, "individuell", "individual")), this,
                           linkColour);
    layout->addWidget(Label1, 0, Qt::AlignLeft);
    layout->addStretch(1);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setMinimumWidth(80);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);

    connect(Label70, &LinkLabel::clicked, this, &BugReportWindow::BrowseToCaption);
    connect(Label1, &LinkLabel::clicked, this, &BugReportWindow::BrowseToCaption);
    connect(Button1, &QPushButton::clicked, this, &BugReportWindow::Button1Click);
}

void BugReportWindow::Button1Click()
{
    hide();
}

void BugReportWindow::BrowseToCaption()
{
    if (auto* label = qobject_cast<QLabel*>(sender()))
        platform().openUrl(captionLinkAddress(label->text(), QLatin1Char('r')));
}

} // namespace qv

Tbugreport_de::Tbugreport_de(QWidget* parent)
    : BugReportWindow(qv::Language::German, clientSize, parent)
{
}

Tbugreport_en::Tbugreport_en(QWidget* parent)
    : BugReportWindow(qv::Language::English, clientSize, parent)
{
}
