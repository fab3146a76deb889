#include "TextConversion.h"

#include <windows.h>

#include <cstdlib>

#include "CodePage.h"
#include "DoRoRazIds.h"
#include "LegacyText.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "Settings.h"

namespace pinora {

const char* const kTextEncodingKey = "text_encoding";
const char* const kTextEncodingUtf8 = "utf-8";

namespace {

constexpr const char* kFromKey = "text_encoding_from";

using ConvertDatabaseFn = int (*)(const char* path, const char* backup, unsigned codePage, int* passwordsLeft);

void Tell(UINT textId, const std::string& path, UINT icon) {
    std::string text = LoadResString(textId, 1024);
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, path);
    uikit::ShowMessageBox(nullptr, text.c_str(), LoadResString(IDS_CAPTION).c_str(), MB_OK | icon);
}

// The password box's library carries SQLite: the databases are converted
// through it, loaded only for this.
DatabaseOutcome ConvertDatabase(unsigned codePage, const std::string& path, const std::string& backup,
                                ConversionNotes& notes) {
    HMODULE box = LoadLibraryA((ProgramFolder() + "PnPwdBox.dll").c_str());
    auto convert = box ? reinterpret_cast<ConvertDatabaseFn>(
                             reinterpret_cast<void*>(GetProcAddress(box, "PB_ConvertLegacyText")))
                       : nullptr;
    int left = 0;
    const int result = convert ? convert(path.c_str(), backup.c_str(), codePage, &left) : -1;
    if (box) FreeLibrary(box);
    if (left > 0)
        notes.push_back(std::to_string(left) + " password(s) longer in UTF-8 than the old cipher holds, left as they were");
    return result < 0 ? DatabaseOutcome::Failed : result == 1 ? DatabaseOutcome::Converted : DatabaseOutcome::Unchanged;
}

void AppendToLog(FolderAccess& files, const ConversionNotes& notes) {
    std::string log;
    files.Read(ConversionLogPath(), log);
    for (const std::string& note : notes) log += note + "\r\n";
    files.WriteNew(ConversionLogPath(), log);
}

}  // namespace

std::string ConversionLogPath() { return ProgramFolder() + "text-conversion.txt"; }

bool RefuseLegacyCodePage(unsigned activeCodePage) {
    if (activeCodePage == CP_UTF8) return false;
    uikit::ShowMessageBox(nullptr, LoadResString(IDS_TEXT_NEEDS_UTF8, 1024).c_str(), LoadResString(IDS_CAPTION).c_str(),
                          MB_OK | MB_ICONSTOP);
    return true;
}

bool ConvertFolderTextOnce() {
    FolderAccess& files = SystemFolderAccess();
    const std::string settingsPath = SettingsPath();
    std::string settings;
    const bool haveSettings = files.Read(settingsPath, settings);
    if (IniValue(settings, "SETTINGS", kTextEncodingKey) == kTextEncodingUtf8) return true;

    // A run that was cut short is finished with the code page it started with.
    unsigned codePage = static_cast<unsigned>(std::strtoul(IniValue(settings, "SETTINGS", kFromKey).c_str(), nullptr, 10));
    if (codePage == 0) codePage = uikit::SystemLegacyCodePage();
    if (codePage != 0 && codePage != CP_UTF8) {
        FolderConversion conversion;
        conversion.programFolder = ProgramFolder();
        conversion.codePage = codePage;
        conversion.decode = [codePage](std::string_view legacy, std::string& utf8) {
            return uikit::LegacyToUtf8(codePage, legacy, utf8);
        };
        conversion.files = &files;
        conversion.convertDatabase = [codePage](const std::string& path, const std::string& backup,
                                                ConversionNotes& notes) {
            return ConvertDatabase(codePage, path, backup, notes);
        };
        conversion.settingsReady = [&] {
            if (files.Exists(settingsPath)) WriteSetting(std::to_string(codePage).c_str(), "SETTINGS", kFromKey);
        };
        const ConversionReport report = ConvertProgramFolder(conversion);
        if (!report.notes.empty()) AppendToLog(files, report.notes);
        if (!report.finished) {
            Tell(IDS_TEXT_CONVERSION_FAILED, report.failedPath, MB_ICONSTOP);
            return false;
        }
        if (!report.notes.empty()) Tell(IDS_TEXT_CONVERSION_NOTES, ConversionLogPath(), MB_ICONINFORMATION);
    }
    // A new folder is marked with the first-run settings instead, which come
    // only when there is no settings file.
    if (haveSettings || files.Exists(settingsPath)) WriteSetting(kTextEncodingUtf8, "SETTINGS", kTextEncodingKey);
    return true;
}

}  // namespace pinora
