#include "app/tprog.h"

void Tprog::KonfigurationSpeichern(QObject*, const QString&) {}
void Tprog::KonfigurationLaden(QObject*, const QString&) {}
void Tprog::KonfigurationSpeichernDialog() {}
void Tprog::KonfigurationLadenDialog() {}
void Tprog::m_konfig_alsstartClick() {}
void Tprog::m_konfig_autosave_allesClick() {}
void Tprog::m_konfig_autosave_nieClick() {}
QString Tprog::startConfigurationPath() { return {}; }
void Tprog::loadStartConfiguration() {}
