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

bool BuildRecordsCsv(std::string& csv) {
    csv.clear();
    int n = 0;
    return PwdStore().readLiveRecords([&](const ListedRecord& r) {
        csv += std::to_string(++n) + "," + CsvField(r.user) + "," + CsvField(r.password) + "," + CsvField(r.url) +
               "\r\n";
        return true;
    });
}

}  // namespace pnstore
