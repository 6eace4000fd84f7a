#include "app/windows.h"

#include "app/filter/tquorvel_filter.h"
#include "app/help/tbugreport.h"
#include "app/help/thilfe.h"
#include "app/preview/tvorschau_alle.h"
#include "app/startup.h"
#include "app/tprog.h"
#include "app/tstart.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>

namespace qv {

Tstart* start = nullptr;
Tprog* prog = nullptr;
Thilfe* hilfe = nullptr;
Thilfe_en* hilfe_en = nullptr;
Tbugreport_de* bugreport_de = nullptr;
Tbugreport_en* bugreport_en = nullptr;
Tquorvel_filter* quorvel_filter = nullptr;
Tvorschau_alle* vorschau_alle = nullptr;

void createWindows()
{
    QApplication::setApplicationName(applicationTitle);
    // The layout is designed for this font; windows created with another one clip captions.
    applyDesignFont();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/artwork/quorvel.png")));
    // The program ends when the splash closes, not when its last visible window does.
    QApplication::setQuitOnLastWindowClosed(false);
    start = new Tstart;
    prog = new Tprog;
    hilfe = new Thilfe;
    hilfe_en = new Thilfe_en;
    bugreport_de = new Tbugreport_de;
    bugreport_en = new Tbugreport_en;
    quorvel_filter = new Tquorvel_filter;
    vorschau_alle = new Tvorschau_alle;
}

void destroyWindows()
{
    delete vorschau_alle;
    delete quorvel_filter;
    delete bugreport_en;
    delete bugreport_de;
    delete hilfe_en;
    delete hilfe;
    delete prog;
    delete start;
    vorschau_alle = nullptr;
    quorvel_filter = nullptr;
    bugreport_en = nullptr;
    bugreport_de = nullptr;
    hilfe_en = nullptr;
    hilfe = nullptr;
    prog = nullptr;
    start = nullptr;
}

QString languageCode()
{
    return start ? start->spr->text() : QStringLiteral("de");
}

void setLanguageCode(const QString& code)
{
    start->spr->setText(code);
}

Language interfaceLanguage()
{
    return languageOfCode(languageCode());
}

} // namespace qv
