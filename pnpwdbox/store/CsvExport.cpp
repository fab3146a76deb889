#include "CsvExport.h"

#include "PwdStore.h"

namespace pnstore {

std::string CsvField(const std::string& text) {
    bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                 (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string AsSpreadsheetText(const std::string& text) {
    if (text.empty()) return text;
    switch (text.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return "'" + text;
    default:
        return text;
    }
}

bool BuildRecordsCsv(std::string& csv) {
    csv.clear();
    int n = 0;
    return PwdStore().readLiveRecords([&](const ListedRecord& r) {
        if (r.damaged) return true;
        csv += std::to_string(++n) + "," + CsvField(AsSpreadsheetText(r.user)) + "," +
               CsvField(AsSpreadsheetText(r.password)) + "," + CsvField(AsSpreadsheetText(r.url)) + "\r\n";
        return true;
    });
}

}  // namespace pnstore
