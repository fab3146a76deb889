// iCalendar files: the sticks (all, or one day's) out as one .ics of VTODOs,
// and a .ics in, its VTODOs and VEVENTs as sticks. Both use the sync's reader,
// writer and UIDs: a stick keeps its UID from file to file and to the server,
// so importing a file twice, or one the calendar also holds, adds nothing twice.
#pragma once
#include <functional>
#include <string>

#include "SyncEngine.h"
#include "TableLocalStore.h"

namespace pnsync {

struct IcsCounts {
    int written = 0;     // export: sticks in the file
    int added = 0;       // import: new sticks
    int updated = 0;     // import: sticks of the same UID brought up to the file's copy
    int duplicates = 0;  // import: already here as they are
    int unreadable = 0;  // import: items that could not be read
    std::string error;
};

// onlyDate 0: every stick that is not deleted.
bool ExportSticks(const TableLocalStore& tables, SyncState& state, const MapContext& ctx,
                  int onlyDate, const std::function<std::string()>& newUid, std::string* ics, IcsCounts* counts);

bool ImportCalendar(const std::string& ics, LocalStore& store, SyncState& state, const MapContext& ctx,
                    IcsCounts* counts);

}  // namespace pnsync
