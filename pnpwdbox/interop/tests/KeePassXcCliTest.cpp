// The real peer: KeePassXC's command-line program. A database made with it is
// read from its CSV and XML exports; what we write is imported by it and read
// back out of its CSV and XML exports. Field by field, both ways.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "KeePassXml.h"
#include "PasswordCsv.h"

namespace {

using namespace pninterop;
namespace fs = std::filesystem;

const char kMaster[] = "master pw";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ShellQuoted(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class KeePassXcCliTest : public testing::Test {
protected:
    void SetUp() override {
        // It needs no display; a dead one must not stop it either.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        dir_ = fs::temp_directory_path() / ("pinora-keepassxc-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ASSERT_EQ(std::system("keepassxc-cli --version >/dev/null 2>&1"), 0)
            << "keepassxc-cli is missing: scripts/setup installs the package keepassxc";
    }
    void TearDown() override { fs::remove_all(dir_); }

    // keepassxc-cli with `input` on its standard input (the passwords it asks
    // for, one a line); its standard output. Fails the test when it fails.
    std::string Cli(const std::vector<std::string>& args, const std::string& input) {
        std::ofstream(dir_ / "in", std::ios::binary) << input;
        std::string command = "keepassxc-cli";
        for (const std::string& a : args) command += " " + ShellQuoted(a);
        command += " <" + ShellQuoted((dir_ / "in").string()) + " >" + ShellQuoted((dir_ / "out").string()) + " 2>" +
                   ShellQuoted((dir_ / "err").string());
        const int status = std::system(command.c_str());
        EXPECT_EQ(status, 0) << command << "\n" << ReadAll(dir_ / "err");
        return ReadAll(dir_ / "out");
    }

    std::string Db(const char* name) const { return (dir_ / name).string(); }
    std::string Master() const { return std::string(kMaster) + "\n"; }

    fs::path dir_;
};

const Entry* Titled(const std::vector<Entry>& entries, const std::string& title) {
    for (const Entry& e : entries)
        if (e.title == title) return &e;
    return nullptr;
}

void ExpectSameEntries(const std::vector<Entry>& want, const std::vector<Entry>& got, bool withEndDay,
                       const char* what) {
    EXPECT_EQ(got.size(), want.size()) << what;
    for (const Entry& w : want) {
        const Entry* g = Titled(got, w.title);
        ASSERT_NE(g, nullptr) << what << ": no entry " << w.title;
        EXPECT_EQ(g->group, w.group) << what << ": " << w.title;
        EXPECT_EQ(g->user, w.user) << what << ": " << w.title;
        EXPECT_EQ(g->password, w.password) << what << ": " << w.title;
        EXPECT_EQ(g->url, w.url) << what << ": " << w.title;
        EXPECT_EQ(g->notes, w.notes) << what << ": " << w.title;
        if (withEndDay) {
            EXPECT_EQ(g->endDay, w.endDay) << what << ": " << w.title;
        }
    }
}

Entry Make(std::string group, std::string title, std::string user, std::string password, std::string url,
           std::string notes, std::string endDay = "") {
    return {std::move(group), std::move(title), std::move(user), std::move(password), std::move(url),
            std::move(notes), std::move(endDay), 0, false, 0};
}

TEST_F(KeePassXcCliTest, ItsExportsReadFieldByField) {
    const std::vector<Entry> made = {
        Make("", "B\xC3\xA4nk \xE2\x98\xBA", "J\xC3\xB6rg", "se\"cr,et", "https://bank.example/login",
             "line 1\nline 2"),
        Make("W\xC3\xB6rk/Mail", "Ein \"Konto\", zwei", "", "p,w\"x", "imap://mail.example", ""),
        Make("W\xC3\xB6rk", "\xE6\x97\xA5\xE6\x9C\xAC", "\xE3\x83\xA6\xE3\x83\xBC", "  p\xC3\xA4ss w\xC3\xB6rd ",
             "", "& <b> 'q'"),
    };
    // The fastest key derivation the program allows (100 ms).
    Cli({"db-create", "-q", "-p", "-t", "100", Db("made.kdbx")}, Master() + Master());
    Cli({"mkdir", "-q", Db("made.kdbx"), "W\xC3\xB6rk"}, Master());
    Cli({"mkdir", "-q", Db("made.kdbx"), "W\xC3\xB6rk/Mail"}, Master());
    for (const Entry& e : made) {
        std::vector<std::string> args = {"add", "-q", "-p"};
        if (!e.user.empty()) args.insert(args.end(), {"-u", e.user});
        if (!e.url.empty()) args.insert(args.end(), {"--url", e.url});
        if (!e.notes.empty()) args.insert(args.end(), {"--notes", e.notes});
        args.push_back(Db("made.kdbx"));
        args.push_back(e.group.empty() ? e.title : e.group + "/" + e.title);
        Cli(args, Master() + e.password + "\n");
    }

    const ReadResult csv = ReadPasswordCsv(Cli({"export", "-q", "-f", "csv", Db("made.kdbx")}, Master()));
    ASSERT_TRUE(csv.ok()) << ProblemName(csv.error.problem) << " line " << csv.error.line;
    EXPECT_EQ(csv.format, FileFormat::KeePassXcCsv);
    EXPECT_EQ(csv.rootGroup, "Passwords");
    ExpectSameEntries(made, csv.entries, false, "its CSV");

    const ReadResult xml = ReadKeePassXml(Cli({"export", "-q", "-f", "xml", Db("made.kdbx")}, Master()));
    ASSERT_TRUE(xml.ok()) << ProblemName(xml.error.problem) << " line " << xml.error.line;
    EXPECT_EQ(xml.rootGroup, "Passwords");
    ExpectSameEntries(made, xml.entries, true, "its XML");
}

TEST_F(KeePassXcCliTest, WhatWeWriteItImportsFieldByField) {
    const std::vector<Entry> ours = {
        Make("", "Caf\xC3\xA9 & <Co>", "ann", "\"q\" 'a' & <b>,;", "https://x.example/?a=1&b=2", "one\ntwo",
             "20301231"),
        Make("Mail/W\xC3\xB6rk", "\xE6\x97\xA5\xE6\x9C\xAC", "", "p,w\"", "imap://m", ""),
        Make("Mail", "m", "bo", "  spaced  ", "", "x, \"y\"\nz", "20270101"),
        Make("a/b/c", "deep", "u", "=1+2", "u", ""),
    };
    XmlWriteOptions options;
    std::random_device random;
    options.randomBytes = [&](unsigned char* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(random());
    };
    std::vector<size_t> skipped;
    std::ofstream(dir_ / "ours.xml", std::ios::binary) << WriteKeePassXml(ours, options, &skipped);
    ASSERT_TRUE(skipped.empty());
    Cli({"import", "-q", "-p", "-t", "100", (dir_ / "ours.xml").string(), Db("ours.kdbx")}, Master() + Master());

    const std::string theirCsv = Cli({"export", "-q", "-f", "csv", Db("ours.kdbx")}, Master());
    const ReadResult csv = ReadPasswordCsv(theirCsv);
    ASSERT_TRUE(csv.ok()) << ProblemName(csv.error.problem) << " line " << csv.error.line;
    EXPECT_EQ(csv.rootGroup, "Root");
    ExpectSameEntries(ours, csv.entries, false, "its CSV of our XML");

    // Our CSV has its layout: the same header and, row by row, the same fields.
    const std::string ourCsv = WriteKeePassXcCsv(ours, "Root");
    EXPECT_EQ(ourCsv.substr(0, ourCsv.find('\n')), theirCsv.substr(0, theirCsv.find('\n')));
    const ReadResult ourRows = ReadPasswordCsv(ourCsv);
    ASSERT_TRUE(ourRows.ok());
    ExpectSameEntries(csv.entries, ourRows.entries, false, "our CSV");

    // The expiry survives as the same local day.
    const ReadResult xml = ReadKeePassXml(Cli({"export", "-q", "-f", "xml", Db("ours.kdbx")}, Master()));
    ASSERT_TRUE(xml.ok()) << ProblemName(xml.error.problem) << " line " << xml.error.line;
    ExpectSameEntries(ours, xml.entries, true, "its XML of our XML");
}

}  // namespace
