#include "app/startup.h"

#include "app/tprog.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "filelist/tquorvel_filter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QTimer>

namespace qv {

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
