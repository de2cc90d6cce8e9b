#include "SystemTheme.h"

#include <windows.h>

// AppsUseLightTheme is 0 for dark and 1 or absent (older Windows) for light.
bool SystemPrefersDarkTheme() {
    DWORD light = 1;
    DWORD size = sizeof light;
    const LSTATUS status =
        ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                       L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size);
    return status == ERROR_SUCCESS && light == 0;
}
