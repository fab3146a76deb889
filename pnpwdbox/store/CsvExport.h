// The export file offered when no spreadsheet program is there: the same four
// columns the spreadsheet gets (row number, user, password, url), as CSV.
#pragma once
#include <string>

namespace pnstore {

// One field in CSV form: quoted (quotes doubled) when it holds a comma, a
// quote, a line break, or leading or trailing blanks.
std::string CsvField(const std::string& text);

// A cell a spreadsheet would take for a formula (one that begins with = + -
// @, or a tab or carriage return before one) gets an apostrophe in front, so
// it is shown as the text it is.
std::string AsSpreadsheetText(const std::string& text);

// Every live record of the current database, one line each ("\r\n"), numbered
// from 1, each cell as spreadsheet text; damaged records are left out. False
// while the box is locked or when the database could not be read to the end.
bool BuildRecordsCsv(std::string& csv);

}  // namespace pnstore
