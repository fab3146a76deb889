// The settings file "pinora.ini" beside the program, the start-at-logon registry
// value, and the program folder everything else is found in.
#pragma once
#include <string>

namespace pinora {

// Folder of the running program, with a trailing backslash.
const std::string& ProgramFolder();
// Tests run against a folder of their own; an empty string restores the real one.
void SetProgramFolder(const std::string& folder);
std::string SettingsPath();

// Reads a key into buf (size bytes): the value cut to size - 1 characters, or "".
void ReadSetting(const char* section, const char* key, char* buf, int size);
std::string ReadSetting(const char* section, const char* key, int size);
// Replaces the key's value, creating the file and the section as needed. False
// when the file did not take it (read-only, or held by another program): the
// caller must not show the value as stored.
bool WriteSetting(const char* value, const char* section, const char* key);
// A flag stored as "1"/"0".
bool WriteFlag(bool on, const char* section, const char* key);
// Removes the key; true when it is gone (or was never there).
bool DeleteSetting(const char* section, const char* key);
// Whether the settings file can be written now: it opens for writing, or it is
// not there yet. Asked before a change that must not be left half made.
bool SettingsFileWritable();

// Start at logon: the current user's Run value "Pinora notes" holds the program's
// full path. Returns whether the key opened and the write or delete succeeded.
bool SetRunAtLogon(bool on);
// Whether the Run value is there and names this program (case aside): what
// Windows will start at the next logon.
bool IsRunAtLogon();
extern const char* const kRunKeyPath;
extern const char* const kRunValueName;

// At every start: when the settings file does not exist yet, writes the first-run
// values, the wink ones from the default wink path (DefaultWinkPath() after the
// wink catalogue was rebuilt). Returns true when it wrote them.
bool WriteFirstRunSettings(const std::string& defaultWinkPath);

}  // namespace pinora
