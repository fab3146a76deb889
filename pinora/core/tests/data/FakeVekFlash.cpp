// Stand-in for the animation player in the wink tests. Each start appends one line
// to "players.log" beside it: the file it was given, a bar, and that file's first
// bytes as it found them.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    char self[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    folder.resize(folder.find_last_of('\\') + 1);

    std::string line = argc > 1 ? argv[1] : "";
    line += "|";
    if (argc > 1) {
        HANDLE movie = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        if (movie != INVALID_HANDLE_VALUE) {
            char buf[64] = {};
            DWORD n = 0;
            ReadFile(movie, buf, sizeof buf, &n, nullptr);
            CloseHandle(movie);
            for (DWORD i = 0; i < n && buf[i]; ++i) line += buf[i];
        }
    }
    line += "\r\n";

    // Two players may start at once: wait for the other one's line to be written.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE log = CreateFileA((folder + "players.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                 OPEN_ALWAYS, 0, nullptr);
        if (log != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(log);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
