#include "WindowSettings.h"

#include "DefaultSettings.h"

TWindowSettings DefaultWindowSettings() {
    TWindowSettings settings;
    settings.App = kvaderon::DefaultAppSettings();
    settings.Width = kvaderon::DefaultWindowWidth;
    settings.Height = kvaderon::DefaultWindowHeight;
    return settings;
}
