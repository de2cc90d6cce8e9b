// Whether the desktop is set to dark: the first start of the window follows it.
#pragma once

// Windows: the apps' mode of Settings > Personalisation > Colours. Elsewhere: GNOME's colour
// scheme where gsettings answers, else the darkness of the platform's window colour.
bool SystemPrefersDarkTheme();
