// The layouts of the stick index and the alarm table, as the stores create
// them: what a table must look like before the stores read or write it.
#pragma once
#include "TableCheck.h"

namespace pinora {

inline constexpr FieldLayout kStickIndexLayout[] = {{"NUMBER", 12}, {"DATE", 9}, {"STICK", 255}};
inline constexpr int kStickIndexFieldCount = 3;

inline constexpr FieldLayout kAlarmTableLayout[] = {{"CODE", 56},  {"ALARM5", 2}, {"ALARM30", 2}, {"STICK", 255},
                                                    {"WEEKLY", 8}, {"DATE", 13},  {"STATE", 4}};
inline constexpr int kAlarmTableFieldCount = 7;

}  // namespace pinora
