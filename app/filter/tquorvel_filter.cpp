#include "app/filter/tquorvel_filter.h"

#include "app/insertedtextfilter.h"
#include "app/screenfit.h"
#include "app/tprog.h"
#include "app/windows.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

Tquorvel_filter::Tquorvel_filter(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    qv::quorvel_filter = this;
    setObjectName(QStringLiteral("quorvel_filter"));
    setWindowTitle(QStringLiteral("Filter"));
    setFixedSize(341, 163);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 8);
    alle = new QRadioButton(this);
    alle->setObjectName(QStringLiteral("alle"));
    alle->setGeometry(8, 40, 321, 17);
    alle->setChecked(true);
    auswahl = new QRadioButton(this);
    auswahl->setObjectName(QStringLiteral("auswahl"));
    auswahl->setGeometry(8, 63, 321, 17);
    filter = new QLineEdit(QStringLiteral("jpg,bmp,txt"), this);
    filter->setObjectName(QStringLiteral("filter"));
    filter->setGeometry(24, 86, 309, 21);
    filter->setEnabled(false);
    uv = new QCheckBox(this);
    uv->setObjectName(QStringLiteral("uv"));
    uv->setGeometry(8, 113, 225, 17);
    uv->setChecked(true);
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setGeometry(258, 134, 75, 25);

    setTabOrder(alle, auswahl);
    setTabOrder(auswahl, filter);
    setTabOrder(filter, OK);
    setTabOrder(OK, uv);

    connect(alle, &QRadioButton::clicked, this, &Tquorvel_filter::auswahlClick);
    connect(auswahl, &QRadioButton::clicked, this, &Tquorvel_filter::auswahlClick);
    // A load from a configuration file checks the radio buttons without a click.
    connect(auswahl, &QRadioButton::toggled, this, &Tquorvel_filter::auswahlClick);
    connect(OK, &QPushButton::clicked, this, &Tquorvel_filter::OKClick);
    filter->installEventFilter(this);
    new qv::InsertedTextFilter(filter, &Tquorvel_filter::filterKeyPress);

    Sprache();
}

void Tquorvel_filter::auswahlClick()
{
    filter->setEnabled(auswahl->isChecked());
}

bool Tquorvel_filter::filterKeyPress(QChar key)
{
    return !QStringLiteral("\"*/<>?|").contains(key);
}

void Tquorvel_filter::FormActivate()
{
    const Tprog* main = qv::prog;
    if (!main)
        return;
    const int top = main->frameGeometry().top() + (main->client()->height() - height()) / 2;
    const int left = main->frameGeometry().left() + (main->client()->width() - width()) / 2;
    qv::placeInsideScreen(this, size(), QPoint(left, top));
}

void Tquorvel_filter::OKClick()
{
    close();
}

void Tquorvel_filter::Sprache()
{
    const qv::Language language = qv::interfaceLanguage();
    Label1->setText(qv::pick(language, "Nach welchen Dateien soll gesucht werden?",
                             "Which files shall be looked for?"));
    Label1->adjustSize();
    alle->setText(qv::pick(language, "Alle Dateien suchen (Keinen Filter verwenden)",
                           "Search for all files (Use no filter)"));
    auswahl->setText(qv::pick(
        language, "Nur nach folgenden Dateien suchen:", "Only search for following files:"));
    filter->setAccessibleName(auswahl->text().chopped(1));
    uv->setText(qv::pick(language, "Auch Unterverzeichnisse durchsuchen", "Search all Subfolders"));
}

bool Tquorvel_filter::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        FormActivate();
    return QDialog::event(event);
}

bool Tquorvel_filter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == filter && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && !filterKeyPress(text.at(0)))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
