// Numbers of the texts that refuse unusable input: user names that cannot be
// folder names, tables that are damaged or laid out otherwise.
#pragma once

#define IDS_USER_NAME_UNSAFE 2400
#define IDS_TABLE_DAMAGED 2401
