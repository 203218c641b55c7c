#include "server/runtime/ServerContext.h"

namespace tavrin {

QString serverVersion() { return QStringLiteral(TAVRIN_SERVER_VERSION); }

} // namespace tavrin
