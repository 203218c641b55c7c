#include "server/ServerContext.h"

namespace tavrin {

QString serverVersion() { return QStringLiteral(TAVRIN_SERVER_VERSION); }

} // namespace tavrin
