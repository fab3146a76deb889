#include "RestLog.h"

#include "App.h"
#include "Settings.h"

namespace pinora {

std::string CurrentUserRestLog() {
    if (!App().bLoggedIn || App().szCurrentUser[0] == '\0') return "";
    return ProgramFolder() + App().szCurrentUser + "\\" + kRestLogName;
}

bool RestLogWanted() { return ReadSetting("ALERTS", "rest_log", 2) == "1"; }

}  // namespace pinora
