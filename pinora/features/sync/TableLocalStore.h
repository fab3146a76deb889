// The user's sticks (the stick index and alarm table) and diary day files as
// the sync sees them: stick n is "s:n", the file of 5 March 2009 "d:20090305".
// Writes go through the stores' own functions, so the two tables stay paired.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "SyncEngine.h"

namespace pnsync {

// What the diary folder offers, per platform (DiaryFiles_win.cpp, _host.cpp).
struct DiaryFileInfo {
    std::string name;  // "2009-03-05.txt"
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // any clock, compared only for equality
};
std::vector<DiaryFileInfo> ListDiaryFiles(const std::string& folder);
bool ReadWholeFile(const std::string& path, std::string* text);
// Written beside and moved over the old file, so a failure leaves the old one.
bool ReplaceFileWith(const std::string& path, const std::string& text);
bool RemoveFileAt(const std::string& path);
bool StatFile(const std::string& path, DiaryFileInfo* info);
// Makes the folder when it is not there; true when it is there afterwards.
bool MakeFolder(const std::string& path);

// "2009-03-05.txt" -> 20090305; 0 for any other name.
int DiaryDateOfName(const std::string& name);
std::string DiaryNameOfDate(int date);

class TableLocalStore : public LocalStore {
public:
    // dataFolder: the user's data folder with its trailing separator; the
    // sticks are in its "sticks" folder.
    explicit TableLocalStore(std::string dataFolder) : data_(std::move(dataFolder)) {}

    bool Snapshot(const std::map<std::string, std::string>& knownSigs, std::vector<LocalItem>* items,
                  std::string* error) override;
    std::vector<LocalResult> Apply(const std::vector<LocalChange>& changes) override;

    // Every stick as field records (for the export), deleted ones left out.
    bool ReadSticks(std::vector<std::pair<int, std::string>>* sticks, std::string* error) const;
    // A stick read again from the tables; "" when there is no such record.
    std::string StickFieldsOf(int record) const;

private:
    std::string SticksFolder() const { return data_ + "sticks" + kSeparator; }
    LocalResult ApplyOne(const LocalChange& change);
    std::string DayFieldsOf(int date, DiaryFileInfo* info) const;
    static const char kSeparator;
    std::string data_;
};

}  // namespace pnsync
