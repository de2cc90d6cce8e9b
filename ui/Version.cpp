// The version text of the window caption, from the version compiled in.
#include "Version.h"

#include "VersionText.h"

QString GetVersionText() {
#ifdef KVADERON_VERSION
    return QString::fromStdString(kvaderon::FormatVersionText(KVADERON_VERSION));
#else
    return QStringLiteral("Unknown");
#endif
}
