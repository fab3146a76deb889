// Numbers of the skins windows' resources, shared by code and .rc.
#pragma once

// The skin chooser: the skin names, and the frame the chosen skin's picture shows in.
#define IDD_SKIN_CHOOSER 212
#define IDC_SKIN_LIST 1033
#define IDC_SKIN_PREVIEW 1034
