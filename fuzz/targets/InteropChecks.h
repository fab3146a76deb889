// What every read of a password file must give, whatever the bytes: text that
// is UTF-8, a line for each entry and for an error, and an import plan in which
// each entry lands exactly once.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "BoxImport.h"
#include "PasswordEntry.h"
#include "Scratch.h"
#include "FileText.h"

namespace fuzz {

inline bool ToAscii(const std::string& utf8, std::string& out) {
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    out = utf8;
    return true;
}

inline void CheckRead(const pninterop::ReadResult& r) {
    using namespace pninterop;
    if (!r.ok()) {
        Require(r.error.line >= 1);
        return;
    }
    Require(r.entries.size() <= kMaxEntries);
    for (const Entry& e : r.entries) {
        Require(e.line >= 1);
        for (const std::string* t : {&e.group, &e.title, &e.user, &e.password, &e.url, &e.notes})
            Require(uikit::IsValidUtf8(*t));
        Require(e.notes.find('\r') == std::string::npos || r.format == FileFormat::KeePassXml);
    }

    ImportRules rules;
    rules.toBox = ToAscii;
    rules.existing = {{"a", "b", "c"}};
    const ImportPlan plan = PlanImport(r.entries, rules);
    std::multiset<size_t> seen;
    for (const auto& p : plan.records) seen.insert(p.entry);
    for (const auto& p : plan.refused) {
        seen.insert(p.entry);
        Require(p.problems != 0);
    }
    for (size_t i : plan.duplicates) seen.insert(i);
    for (size_t i : plan.recycled) seen.insert(i);
    Require(seen.size() == r.entries.size());
    for (size_t i = 0; i < r.entries.size(); ++i) Require(seen.count(i) == 1);
}

}  // namespace fuzz
