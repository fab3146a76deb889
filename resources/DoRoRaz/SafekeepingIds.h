// Numbers of the texts that say something was not kept: a settings file that
// takes no write, a user who stays logged in because a note could not be saved,
// a password that is not remembered.
#pragma once

#define IDS_SETTINGS_NOT_WRITTEN 2500
#define IDS_STAYS_LOGGED_IN 2501
#define IDS_PASSWORD_NOT_REMEMBERED 2502
