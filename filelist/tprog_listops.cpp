#include "app/tprog.h"

void Tprog::qulistColumnClick(int) {}
void Tprog::qulistSelectItem() {}
bool Tprog::qulistKeyDown(int, Qt::KeyboardModifiers) { return false; }
void Tprog::BitBtn3Click() {}
void Tprog::BitBtn2Click() {}
bool Tprog::PopupMenu1Popup() { return false; }
void Tprog::MenuItem1Click() {}
void Tprog::MenuItem2Click() {}
void Tprog::MenuItem4Click() {}
void Tprog::CopyFilesToClipboard(const QStringList&) {}
void Tprog::ShowFileProperties(const QString&) {}
QList<int> Tprog::selectedRows() const { return {}; }
