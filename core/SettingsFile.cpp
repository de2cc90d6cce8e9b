#include "SettingsFile.h"

#include "ColorNames.h"
#include "ColorText.h"
#include "DefaultSettings.h"
#include "TargetPath.h"

#include <stdexcept>

namespace kvaderon {

namespace {

TColor ReadColor(const TIniFile& AFile, const std::string& AKey, TColor ADefault) {
    const std::optional<std::string> text = AFile.ReadValue("Colors", AKey);
    if (!text)
        return ADefault;
    try {
        return StringToColor(*text);
    } catch (const std::invalid_argument&) {
        return ADefault;
    }
}

// A prefix or postfix that would lead out of the destination folder counts as absent.
std::string ReadNamePart(const TIniFile& AFile, const char* AKey, const std::string& ADefault) {
    std::string part = AFile.ReadString("Files", AKey, ADefault);
    return IsNamePart(part) ? part : ADefault;
}

std::string Quoted(const std::string& AText) {
    return "\"" + AText + "\"";
}

} // namespace

TStoredSettings DefaultStoredSettings() {
    TStoredSettings settings;
    settings.App = DefaultAppSettings();
    settings.Width = DefaultWindowWidth;
    settings.Height = DefaultWindowHeight;
    return settings;
}

TStoredSettings ReadStoredSettings(const TIniFile& AFile) {
    TStoredSettings settings = DefaultStoredSettings();
    settings.App.LastStyle = AFile.ReadString("Application", "VCLStyle", DefaultStyleName);
    settings.Height = AFile.ReadInteger("Application", "Height", DefaultWindowHeight);
    settings.Width = AFile.ReadInteger("Application", "Width", DefaultWindowWidth);
    settings.LastOpenFolder = AFile.ReadString("Files", "LastOpenFolder", "");
    settings.LastSaveFolder = AFile.ReadString("Files", "LastSaveFolder", "");
    settings.App.Prefix = ReadNamePart(AFile, "Prefix", settings.App.Prefix);
    settings.App.Postfix = ReadNamePart(AFile, "Postfix", settings.App.Postfix);
    settings.App.VerifyAfterWrite = AFile.ReadInteger("Files", "VerifyAfterWrite", 0) == 1;
    settings.App.InvertPreviews = AFile.ReadInteger("Files", "InvertPreviews", 0) != 0;
    TOutputColorsBW& colors = settings.App.OutputColorsBW;
    for (const TColorRoleEntry& role : ColorRoles) {
        colors.B.*role.Color = ReadColor(AFile, role.Key + std::string("_B"), colors.B.*role.Color);
        colors.W.*role.Color = ReadColor(AFile, role.Key + std::string("_W"), colors.W.*role.Color);
    }
    return settings;
}

void WriteStoredSettings(TIniFile& AFile, const TStoredSettings& ASettings) {
    AFile.WriteString("Application", "VCLStyle", ASettings.App.LastStyle);
    AFile.WriteInteger("Application", "Height", ASettings.Height);
    AFile.WriteInteger("Application", "Width", ASettings.Width);
    AFile.WriteString("Files", "LastOpenFolder", ASettings.LastOpenFolder);
    AFile.WriteString("Files", "LastSaveFolder", ASettings.LastSaveFolder);
    AFile.WriteString("Files", "Prefix", Quoted(ASettings.App.Prefix));
    AFile.WriteString("Files", "Postfix", Quoted(ASettings.App.Postfix));
    AFile.WriteInteger("Files", "VerifyAfterWrite", ASettings.App.VerifyAfterWrite ? 1 : 0);
    AFile.WriteInteger("Files", "InvertPreviews", ASettings.App.InvertPreviews ? 1 : 0);
    const TOutputColorsBW& colors = ASettings.App.OutputColorsBW;
    for (const TColorRoleEntry& role : ColorRoles) {
        AFile.WriteString("Colors", role.Key + std::string("_B"), ColorToString(colors.B.*role.Color));
        AFile.WriteString("Colors", role.Key + std::string("_W"), ColorToString(colors.W.*role.Color));
    }
}

} // namespace kvaderon
