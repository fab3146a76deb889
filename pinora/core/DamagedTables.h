// Table files that are there but cannot be read as tables. Such a file is never
// replaced, padded or written over: the stores refuse to write, a copy is kept
// beside it as "<name>.bad", and the user is told once per run.
#pragma once
#include <string>

namespace pinora {

// Whether a file of that name exists (readable or not).
bool TableFileExists(const std::string& path);
// There, but FileDBF cannot open it.
bool IsTableDamaged(const std::string& path);
std::string DamagedCopyPath(const std::string& path);
// Copies the file to DamagedCopyPath unless a copy is there already (the first
// copy is the one closest to what was lost). True when a copy is there afterwards.
bool KeepDamagedCopy(const std::string& path);
// True the first time in this run that the damage of this file is reported.
bool FirstReportOfDamage(const std::string& path);
// Tests start every case with nothing reported.
void ForgetDamageReports();

}  // namespace pinora
