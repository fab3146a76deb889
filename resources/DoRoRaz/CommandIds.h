// Numbers of the command box's, dictionary popup's and about link's resources,
// shared by code and .rc.
#pragma once

// The link to the product's web address in the about box (dialog 100)
#define IDC_ABOUT_LINK 1101

// Strings
#define IDS_VEKPAD_MISSING 59
#define IDS_SCREEN_CAPTURE_MISSING 64
#define IDS_DICTIONARY_TITLE 2300
#define IDS_DICTIONARY_IN_BROWSER 2301
#define IDS_WORD_BOX_HINT 2302
