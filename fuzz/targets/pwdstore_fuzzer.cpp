// Any bytes as a password database "pnpb.dat": the checks of its layout and
// format, the first-use decision, unlocking (with the seeds' master password
// and a wrong one; an older file is upgraded in place), and every read of
// the list, the comments and the record details, the search and the export.
// What is read from an unlocked sealed file is either opened or damaged.
#include <cstdio>
#include <cstring>

#include "CsvExport.h"
#include "PwdStore.h"
#include "PwdStoreFuzz.h"
#include "Scratch.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseSmallLimits();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::remove((fuzz::ScratchFolder() + "pnpb.dat-journal").c_str());
    const std::string path = fuzz::WriteScratch("pnpb.dat", data, size);
    pnstore::setDatabasePath(path.c_str());
    pnstore::CPwdStore& store = pnstore::PwdStore();

    const pnstore::FileVerdict verdict = pnstore::CheckDatabase();
    pnstore::HasMaster();
    store.probeUserTable();
    pnstore::SessionKeys keys;
    fuzz::Require(pnstore::OpenBox("not the master", keys) != pnstore::UnlockResult::Opened ||
                  verdict == pnstore::FileVerdict::Usable);
    const pnstore::UnlockResult result = pnstore::OpenBox(fuzz::kSeedMaster, keys);
    if (result == pnstore::UnlockResult::Opened || result == pnstore::UnlockResult::OpenedReadOnly)
        pnstore::StartSession(keys);

    for (const pnstore::GroupRow& group : store.listGroups()) {
        fuzz::Require(pnstore::IsGroupNumber(group.id));
        std::string name;
        store.readGroupName(group.id, name);
    }
    store.readLiveRecords([&](const pnstore::ListedRecord& record) {
        fuzz::Require(pnstore::IsRecordNumber(record.id) && pnstore::IsGroupNumber(record.group));
        fuzz::Require(!record.damaged || record.password.empty());
        store.readComments(record.id);
        tagRECORD details{};
        store.readRecordDetails(record.id, details);
        fuzz::Require(std::strlen(details.szUser) < sizeof details.szUser);
        return true;
    });
    const int next = store.nextRecordId();
    fuzz::Require(next == 0 || pnstore::IsRecordNumber(next));
    store.maxGroupId();
    store.searchByUrl("example");
    std::string csv;
    pnstore::BuildRecordsCsv(csv);
    pnstore::EndSession();
    return 0;
}
