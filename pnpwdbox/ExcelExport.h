// Export of every live record to the spreadsheet program ("Excel.Application"
// through automation) or, where there is none, to a CSV file the user picks.
#pragma once
#include <windows.h>

// 0 when the spreadsheet took the records; -1 when "Excel.Application" is
// unknown, -2 when it could not be started (the CSV file is offered in both).
int ExportRecordsToSpreadsheet(HWND owner);

// The CSV path on its own: asks (with the warning that passwords will be
// readable), asks for a file and writes it. True when a file was written.
bool OfferCsvExport(HWND owner);
