// The icons the program carries in its resources.
#pragma once

#include <QIcon>
#include <QString>

// The icon AName (such as "button0"): its SVG, :/icons/<AName>.svg, where the build carries the
// SVG icons; otherwise the PNG sizes rendered from it at build time, :/icons/<AName>/<size>.png
// (a Qt without Qt SVG, as the cross-built one for Windows).
QIcon ResourceIcon(const QString& AName);
