// Numbers of the password box's import and export of other managers' files:
// the two commands, the import's preview dialog and its texts.
#pragma once

#define ID_PB_IMPORT_PASSWORDS 40030
#define ID_PB_EXPORT_PASSWORDS 40031

// The import preview (dialog 115).
#define IDD_PB_IMPORT_PREVIEW 115
#define IDC_PB_IMPORT_SUMMARY 1050
#define IDC_PB_IMPORT_RECORDS 1051
#define IDC_PB_IMPORT_SKIPPED 1052
#define IDC_PB_IMPORT_REFUSED_LABEL 1053
#define IDC_PB_IMPORT_REFUSED 1054

#define IDS_PB_IMPORT_TITLE 3100
#define IDS_PB_IMPORT_SUMMARY 3101
#define IDS_PB_IMPORT_NONE 3102
#define IDS_PB_IMPORT_SKIPPED 3103
#define IDS_PB_IMPORT_REFUSED 3104
#define IDS_PB_IMPORT_ADDED 3105
#define IDS_PB_IMPORT_FAILED 3106
#define IDS_PB_IMPORT_UNREADABLE 3107
#define IDS_PB_IMPORT_ON_LINE 3108
#define IDS_PB_FILE_NOT_OPENED 3109
#define IDS_PB_TRANSFER_READ_ONLY 3110
#define IDS_PB_EXPORT_WARNING 3111
#define IDS_PB_EXPORT_DONE 3112
#define IDS_PB_EXPORT_LEFT_OUT 3113
#define IDS_PB_EXPORT_FAILED 3114
#define IDS_PB_IMPORT_ROOT_GROUP 3115
// Why an entry is not imported: one text per problem bit of the import plan,
// in bit order, then one per field bit.
#define IDS_PB_IMPORT_PROBLEM_FIRST 3116
#define IDS_PB_IMPORT_FIELD_FIRST 3122
// Why a file cannot be read: one text per read problem, in the order of
// pninterop::ReadProblem from TooLarge on.
#define IDS_PB_READ_PROBLEM_FIRST 3128
#define IDS_PB_COL_LINE 3145
#define IDS_PB_COL_ENTRY 3146
#define IDS_PB_COL_WHY 3147
