// What the main window starts from and hands back at closing: the record the settings file
// stores. Until that file is read, the window starts from DefaultWindowSettings().
#pragma once

#include "CommonTypes.h"

#include <QString>

struct TWindowSettings {
    kvaderon::TAppSettings App;
    int Width = 0;  // frame included
    int Height = 0; // frame included
    QString LastOpenFolder;
    QString LastSaveFolder;
};

TWindowSettings DefaultWindowSettings();
