#include "Version.h"

#include "VersionText.h"

QString GetVersionText() {
#ifdef KVADERON_VERSION
    return QString::fromStdString(kvaderon::FormatVersionText(KVADERON_VERSION));
#else
    return QStringLiteral("Unknown");
#endif
}
