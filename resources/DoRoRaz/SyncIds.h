// Numbers of the sync's resources: its settings page, tray commands and texts.
#pragma once

// The settings dialog's sync page
#define IDD_SETTINGS_SYNC 230
#define IDC_SYNC_URL 1200
#define IDC_SYNC_USER 1201
#define IDC_SYNC_PASSWORD 1202
#define IDC_SYNC_MINUTES 1203
#define IDC_SYNC_CERT 1204
#define IDC_SYNC_NOW 1205
#define IDC_SYNC_STATUS 1206

// Commands of the tray menu
#define ID_SYNC_NOW 32810
#define ID_EXPORT_ICS 32811
#define ID_IMPORT_ICS 32812
#define ID_EXPORT_TODAY_ICS 32813

// Strings
#define IDS_PAGE_SYNC 2600
#define IDS_SYNC_STATUS_OFF 2601
#define IDS_SYNC_STATUS_NEVER 2602
#define IDS_SYNC_STATUS_RUNNING 2603
#define IDS_SYNC_STATUS_OK 2604       // %s time, %d received, %d sent, %d deleted
#define IDS_SYNC_STATUS_FAILED 2605   // %s time, %s why
#define IDS_SYNC_BALLOON_TITLE 2606
#define IDS_SYNC_BALLOON_STOPPED 2607 // %s why
#define IDS_SYNC_URL_BAD 2608
#define IDS_SYNC_MINUTES_BAD 2609
#define IDS_SYNC_CERT_BAD 2610
#define IDS_SYNC_SAVE_FAILED 2611
#define IDS_ICS_FILTER 2612
#define IDS_ICS_EXPORTED 2613         // %d sticks, %s file
#define IDS_ICS_IMPORTED 2614         // %d new, %d updated, %d already here
#define IDS_ICS_FAILED 2615           // %s why
#define IDS_ICS_CAPTION 2616
