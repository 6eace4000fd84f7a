#include "app/tprog.h"

qv::RenameSettings Tprog::renameSettings() const { return {}; }
QString Tprog::RenameName(const QString& name, int) const { return name; }
void Tprog::VorschauSetzen() {}
void Tprog::Vorschau() {}
void Tprog::maskeChange() {}
void Tprog::numstartChange() {}
void Tprog::Label5Click(QLabel*) {}
void Tprog::act_maskeClick(QObject*) {}
void Tprog::fitPreviewLabels() {}
bool Tprog::maskeKeyPress(QChar) { return true; }
bool Tprog::numstartKeyPress(QChar) { return true; }
