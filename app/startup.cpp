#include "app/startup.h"

#include "app/filter/tquorvel_filter.h"
#include "app/tprog.h"
#include "app/tstart.h"
#include "app/windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QTimer>

namespace qv {

namespace {

// Some platform themes (qt6ct among them) set an application font of their own once the program
// runs. The windows are laid out in design pixels for the design font; with another one their
// captions are cut. The design font is put back.
class DesignFontKeeper : public QObject
{
public:
    explicit DesignFontKeeper(QObject* parent) : QObject(parent)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    void keep(const QFont& font) { m_font = font; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ApplicationFontChange && QApplication::font() != m_font)
            QTimer::singleShot(0, this, [this] {
                if (QApplication::font() != m_font)
                    QApplication::setFont(m_font);
            });
        return false;
    }

private:
    QFont m_font;
};

} // namespace

void applyDesignFont()
{
    QFont font;
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                                  QStringLiteral("DejaVu Sans")}) {
        if (installed.contains(family)) {
            font.setFamily(family);
            break;
        }
    }
    font.setPointSize(8);
    static DesignFontKeeper* keeper = nullptr;
    if (!keeper)
        keeper = new DesignFontKeeper(QCoreApplication::instance());
    keeper->keep(font);
    QApplication::setFont(font);
}

void scheduleScreenshotIfAsked()
{
    const QString file = qEnvironmentVariable("QUORVEL_SCREENSHOT");
    if (file.isEmpty())
        return;
    QTimer::singleShot(300, [] { start->Image1Click(); });
    QTimer::singleShot(1500, [file] {
        prog->grab().save(file);
        const QFileInfo info(file);
        const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
        // Each option panel open in turn.
        for (QCheckBox* box : {prog->act_maske, prog->act_suchenersetzen}) {
            box->click();
            prog->grab().save(base + QLatin1Char('-') + box->objectName() + QStringLiteral(".png"));
            box->click();
        }
        quorvel_filter->show();
        QTimer::singleShot(500, [base] {
            quorvel_filter->grab().save(base + QStringLiteral("-filter.png"));
            prog->m_closeClick();
        });
    });
}

} // namespace qv
