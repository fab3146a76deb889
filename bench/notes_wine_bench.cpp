// The diary search timed as the program runs it, under Wine: the notes
// manager's own Search button over the ten years of day files (folder listing,
// NoteContainsKeywords with CharUpperA and _mbsstr, the list filled), and the
// matching alone. Prints the median of 11 runs in milliseconds.
//   notes_wine_bench <program folder holding DoRoRaz.dll> <diary folder>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DoRoRazIds.h"
#include "NoteSearch.h"
#include "NotesManager.h"
#include "Settings.h"
#include "wine_bench_timing.h"

namespace {

constexpr int kRuns = 11;

template <typename F>
double MedianMilliseconds(F work) {
    return wine_bench::MedianMicroseconds(kRuns, work) / 1000.0;
}

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: notes_wine_bench <program folder> <diary folder>\n");
        return 2;
    }
    pinora::SetProgramFolder(WithSeparator(argv[1]));
    const std::string diary = WithSeparator(argv[2]);
    InitCommonControls();
    const char* keywords = "harbour festival";

    std::vector<std::string> paths;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((diary + "*.txt").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do paths.push_back(diary + data.cFileName);
        while (FindNextFileA(find, &data));
        FindClose(find);
    }
    const double listing = MedianMilliseconds([&] {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((diary + "*.txt").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return;
        while (FindNextFileA(h, &fd)) {
        }
        FindClose(h);
    });
    const double reading = MedianMilliseconds([&] {
        std::string bytes;
        for (const std::string& path : paths) pinora::ReadNoteFile(path.c_str(), bytes);
    });
    int found = 0;
    const double matching = MedianMilliseconds([&] {
        found = 0;
        for (const std::string& path : paths) found += pinora::NoteContainsKeywords(path.c_str(), keywords);
    });

    pinora::CNotesManagerDlg manager;
    if (!manager.CreateManager(nullptr)) {
        std::fprintf(stderr, "the notes manager could not be created (DoRoRaz.dll in %s?)\n", argv[1]);
        return 1;
    }
    manager.SetDataFolder(diary);
    SetDlgItemTextA(manager.hwnd(), IDC_NOTES_KEYWORDS, keywords);
    const double search = MedianMilliseconds([&] {
        SendMessageA(manager.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_NOTES_SEARCH, BN_CLICKED), 0);
    });
    std::printf("files %zu matches %d listed %d\n", paths.size(), found, manager.EntryCount());
    std::printf("folder listing alone: %.2f ms\n", listing);
    std::printf("reading every file alone: %.2f ms\n", reading);
    std::printf("NoteContainsKeywords over all files: %.2f ms\n", matching);
    std::printf("whole search (Search button): %.2f ms\n", search);
    return 0;
}
