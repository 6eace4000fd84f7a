#include "app/tstart.h"

#include "app/screenfit.h"
#include "app/tprog.h"
#include "app/windows.h"
#include "text/messagetexts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace {

QLabel* splashPicture(const QString& name, const QString& resource, QWidget* parent)
{
    auto* picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setPixmap(QPixmap(resource));
    picture->setGeometry(0, 0, 380, 235);
    picture->setCursor(Qt::PointingHandCursor);
    picture->hide();
    return picture;
}

} // namespace

Tstart::Tstart(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    qv::start = this;
    setObjectName(QStringLiteral("start"));
    setWindowTitle(qv::applicationTitle);
    setFixedSize(380, 235);

    en1 = splashPicture(QStringLiteral("en1"), QStringLiteral(":/artwork/splash_en.jpg"), this);
    Image1 =
        splashPicture(QStringLiteral("Image1"), QStringLiteral(":/artwork/splash_de.jpg"), this);
    en1->installEventFilter(this);
    Image1->installEventFilter(this);

    spr = new QLabel(QStringLiteral("de"), this);
    spr->setObjectName(QStringLiteral("spr"));
    spr->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(600);
    connect(Timer1, &QTimer::timeout, this, &Tstart::Timer1Timer);

    // FormCreate: the marker files in the working directory choose the language, unless the
    // command line chose one for this start.
    spr->setText(qv::startLanguage(QDir::currentPath()));
    sprache();
    m_ticks = 0;

    qv::centreOnScreen(this, size());
    Timer1->start();
}

void Tstart::sprache()
{
    if (spr->text() == QLatin1String("de"))
        Image1->setVisible(true);
    else if (spr->text() == QLatin1String("en"))
        en1->setVisible(true);
    else
        return;
    QApplication::setApplicationName(qv::applicationTitle);
}

void Tstart::Timer1Timer()
{
    ++m_ticks;
    if (m_ticks > 3 && qv::prog)
        qv::prog->show();
    if (m_ticks > 5)
        hide();
    if (m_ticks > 7)
        Timer1->stop();
}

void Tstart::Image1Click()
{
    if (qv::prog)
        qv::prog->show();
    hide();
    Timer1->stop();
}

bool Tstart::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == en1 || watched == Image1) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Image1Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Tstart::closeEvent(QCloseEvent* event)
{
    event->accept();
    // exit, not quit: quit would first close every other window, and the main window's close
    // query would then save the start configuration even when "Beenden" ended the program.
    QCoreApplication::exit(0);
}
