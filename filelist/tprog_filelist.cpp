#include "app/tprog.h"

void Tprog::add2list(const QString&) {}
void Tprog::addfolderaselement2list(const QString&) {}
void Tprog::writeCountToLaAnzahl() {}
void Tprog::AddOrdner(const QString&) {}
void Tprog::dropFiles(const QStringList&) {}
void Tprog::OpenOrdnerClick() {}
bool Tprog::quordnerKeyPress(QChar) { return true; }
void Tprog::quordnerDblClick() {}
void Tprog::BitBtn1Click() {}
void Tprog::selectFirstEntry() {}
