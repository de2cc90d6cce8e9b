// The version text of the window caption, from the version compiled in.
#include "Version.h"

#include "VersionText.h"

QString GetVersionText() {
    return QString::fromStdString(kvaderon::FormatVersionText(KVADERON_VERSION));
}
