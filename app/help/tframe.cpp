#include "app/help/tframe.h"

#include "app/platform.h"
#include "info/weblinks.h"

#include <QEvent>
#include <QIcon>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace qv {

namespace {

constexpr int margin = 10;
constexpr int iconSize = 36;
constexpr int textLeft = margin + iconSize + 10;

} // namespace

InfoFrame::InfoFrame(Language language, const QString& name, const QString& scrollBoxName,
                     QWidget* parent)
    : QFrame(parent)
{
    const QString site = pick(language, hosts::siteDe, hosts::siteEn);
    setObjectName(name);
    setFrameShape(QFrame::NoFrame);

    m_scrollBox = new QScrollArea(this);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_scrollBox);
    m_scrollBox->setObjectName(scrollBoxName);
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    m_scrollBox->setWidgetResizable(false);
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scrollBox->verticalScrollBar()->setTracking(true);
    m_scrollBox->setFocusPolicy(Qt::StrongFocus);

    auto* content = new QWidget;
    content->setObjectName(scrollBoxName + QStringLiteral("_content"));
    content->setFixedSize(contentWidth, contentHeight);
    const int textWidth = contentWidth - 2 * margin;

    QLabel* heading =
        makeHeading(QStringLiteral("laSoftware"), QStringLiteral("Software"), content);
    heading->setGeometry(margin, margin, textWidth, heading->sizeHint().height());

    QLabel* intro =
        makeParagraph(QStringLiteral("laIntro"),
                      pick(language,
                           "Hier finden Sie weitere Programme von Velmora, alle kostenlos zum "
                           "Herunterladen. Ein Klick auf ein Symbol öffnet die Internetseite "
                           "des Programms.",
                           "Here you find more programs by Velmora, all of them free to "
                           "download. A click on an icon opens the program's web page."),
                      content);
    const int introTop = heading->geometry().bottom() + 8;
    intro->setGeometry(margin, introTop, textWidth, intro->heightForWidth(textWidth));
    watchMouse(intro);

    int top = intro->geometry().bottom() + 16;
    const QList<Product>& list = products();
    for (qsizetype i = 0; i < list.size(); ++i, top += rowDistance) {
        const Product& product = list.at(i);
        const QString number = QString::number(i + 1);

        auto* button = new QToolButton(content);
        button->setObjectName(QStringLiteral("icon") + number);
        button->setGeometry(margin, top, iconSize, iconSize);
        button->setIcon(QIcon(product.iconResource));
        button->setIconSize(QSize(iconSize - 4, iconSize - 4));
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(siteLinkCaption(site, product.path));
        connect(button, &QToolButton::clicked, this, &InfoFrame::BrowseToHint);

        auto* title = new QLabel(product.name, content);
        title->setObjectName(QStringLiteral("name") + number);
        title->setTextFormat(Qt::PlainText);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->setGeometry(textLeft, top, contentWidth - textLeft - margin,
                           title->sizeHint().height());
        watchMouse(title);

        auto* line =
            new QLabel(pick(language, product.descriptionDe, product.descriptionEn), content);
        line->setObjectName(QStringLiteral("description") + number);
        line->setTextFormat(Qt::PlainText);
        line->setGeometry(textLeft, title->geometry().bottom() + 2,
                          contentWidth - textLeft - margin, line->sizeHint().height());
        watchMouse(line);
    }

    auto* more = new LinkLabel(QStringLiteral("lk_software"),
                               siteLinkCaption(site, QStringLiteral("software")), content);
    more->adjustSize();
    more->move(contentWidth - margin - more->width(), contentHeight - margin - more->height());
    connect(more, &LinkLabel::clicked, this, &InfoFrame::BrowseToCaption);

    m_scrollBox->setWidget(content);
    watchMouse(m_scrollBox->viewport());
    watchMouse(content);
    m_scrollBox->viewport()->installEventFilter(this);
    m_scrollBox->verticalScrollBar()->installEventFilter(this);
}

void InfoFrame::watchMouse(QWidget* widget)
{
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool InfoFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        ScrollBoxMouseMove();
    } else if (event->type() == QEvent::Wheel && (watched == m_scrollBox->viewport() ||
                                                  watched == m_scrollBox->verticalScrollBar())) {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta < 0)
            ScrollBoxMouseWheelDown();
        else if (delta > 0)
            ScrollBoxMouseWheelUp();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void InfoFrame::scrollBy(int pixels)
{
    QScrollBar* bar = m_scrollBox->verticalScrollBar();
    const int last = qMax(0, contentHeight - m_scrollBox->viewport()->height());
    bar->setValue(qBound(0, bar->value() + pixels, last));
}

void InfoFrame::ScrollBoxMouseWheelDown()
{
    scrollBy(wheelStep);
}

void InfoFrame::ScrollBoxMouseWheelUp()
{
    scrollBy(-wheelStep);
}

// The wheel reaches the list as soon as the mouse rests over it.
void InfoFrame::ScrollBoxMouseMove()
{
    if (!m_scrollBox->hasFocus())
        m_scrollBox->setFocus(Qt::MouseFocusReason);
}

void InfoFrame::BrowseToHint()
{
    if (auto* button = qobject_cast<QWidget*>(sender()))
        platform().openUrl(captionLinkAddress(button->toolTip(), QLatin1Char('h')));
}

void InfoFrame::BrowseToCaption()
{
    if (auto* label = qobject_cast<QLabel*>(sender()))
        platform().openUrl(captionLinkAddress(label->text(), QLatin1Char('h')));
}

} // namespace qv

TFrame1::TFrame1(QWidget* parent)
    : InfoFrame(qv::Language::German, QStringLiteral("TFrame1"), QStringLiteral("ScrollBox1"),
                parent)
{
    ScrollBox1 = scrollBox();
}

TFrame2::TFrame2(QWidget* parent)
    : InfoFrame(qv::Language::English, QStringLiteral("TFrame2"), QStringLiteral("ScrollBox2"),
                parent)
{
    ScrollBox2 = scrollBox();
}
