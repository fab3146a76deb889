// The password box's private messages, update events and the blocks they
// carry. The registered messages are fetched once per process.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "PwdRecord.h"

// Sent to the control (CPnPwdBoxCtrl).
constexpr UINT PBM_ADDRECORDROW = 7301;    // wParam: group (low 16 bits) | record (high 16); lParam: tagRECORD*
constexpr UINT PBM_ADDGROUPROW = 7302;     // wParam: group; lParam: name
constexpr UINT PBM_RENAMEGROUPROW = 7303;  // lParam: PbRenameBlock*
constexpr UINT PBM_SEARCH = 7304;          // wParam: std::vector<int32_t>* of row indices; lParam: text
constexpr UINT PBM_SELECTROW = 7305;       // lParam: row index
// Used by the reading thread: all rows go before it adds them again, and the
// rows then come in batches (lParam: PbRowBatch*), each row handled exactly
// as PBM_ADDGROUPROW or PBM_ADDRECORDROW would handle it. A message to
// another thread costs a round trip through the window system; one per
// batch instead of one per row keeps a large database quick to show.
constexpr UINT PBM_REMOVEALLROWS = 7300;
constexpr UINT PBM_ADDROWBATCH = 7306;

struct PbGroupRow {
    int32_t group;
    const char* name;
};

struct PbRowBatch {
    const PbGroupRow* groups;
    size_t groupCount;
    const tagRECORD* records;
    size_t recordCount;
};

struct PbRenameBlock {
    int32_t group;
    char name[128];
};

// Events of the update channel.
constexpr int kPbEventRecordUpdated = 1;  // wParam kPbRecordUpdatedParam, lParam PbUpdateBlock*
constexpr int kPbEventLocked = 2;         // wParam kPbLockedParam, lParam 0
constexpr WPARAM kPbRecordUpdatedParam = 0x10001;
constexpr WPARAM kPbLockedParam = 0x20001;

// Four words: 1, 0, 0 and the record (a pointer, so the last word is as wide
// as one).
struct PbUpdateBlock {
    int32_t kind;
    int32_t reserved1;
    int32_t reserved2;
    const tagRECORD* record;
};

// "{ABADE736-AC86-4288-8C04-129E5E31FC80}-MvcUIDataUpdateMsgID"
UINT PbUpdateMessage() noexcept;
// "{80BAB206-376C-486b-AC95-B3C3254A0B60}-PNPB_GetKeyDownMsgID"
UINT PbKeyDownMessage() noexcept;
