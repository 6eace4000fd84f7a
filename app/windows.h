#pragma once

#include "text/appinfo.h"
#include "text/messagetexts.h"

#include <QString>

class Tstart;
class Tprog;
class Thilfe;
class Thilfe_en;
class Tbugreport_de;
class Tbugreport_en;
class Tquorvel_filter;
class Tvorschau_alle;

// The seven windows of the program, created once at start-up and kept for the whole run.
namespace qv {

extern Tstart* start;
extern Tprog* prog;
extern Thilfe* hilfe;
extern Thilfe_en* hilfe_en;
extern Tbugreport_de* bugreport_de;
extern Tbugreport_en* bugreport_en;
extern Tquorvel_filter* quorvel_filter;
extern Tvorschau_alle* vorschau_alle;

// Sets the application title and creates the windows in their fixed order.
void createWindows();
void destroyWindows();

// The UI language code, "de" or "en", held by the splash window.
QString languageCode();
void setLanguageCode(const QString& code);
// The language that code stands for.
Language interfaceLanguage();

} // namespace qv
