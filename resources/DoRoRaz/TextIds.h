// Numbers of the texts about the program's text being UTF-8: the Windows it
// needs, and the one-time conversion of a folder written by an earlier version.
#pragma once

#define IDS_TEXT_NEEDS_UTF8 2800
#define IDS_TEXT_CONVERSION_FAILED 2801
#define IDS_TEXT_CONVERSION_NOTES 2802
