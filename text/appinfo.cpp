#include "text/appinfo.h"

namespace qv {

QString applicationVersion()
{
    return QStringLiteral(QUORVEL_VERSION);
}

} // namespace qv
