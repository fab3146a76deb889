// The in-memory password record handed between the password box's dialogs,
// its store and its windows.
#pragma once
#include <cstdint>

struct tagRECORD {
    int32_t nId;
    char szUser[128];
    char szPwd[128];
    char szUrl[1024];
    int32_t nGroup;
    int32_t nState;
    char szComments[1024];
    char szEndDay[32];
};

// Record states in pwd_state.
constexpr int kRecordLive = 1;
constexpr int kRecordDeleted = 2;
// Only in rows handed to the list, never stored: a live record whose MAC
// did not hold (nothing of it was decrypted).
constexpr int kRecordDamaged = -1;

// The one row of pn_user.
constexpr int kMasterUserId = 100;
constexpr const char* kMasterUserName = "pinora_pb";
