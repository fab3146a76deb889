// Work that takes a while (a key derivation: by design about half a second)
// on a thread of its own, so the window that asked for it stays responsive.
// When the work is done the window is told by a posted message, and takes
// the result on its own thread.
#pragma once
#include <windows.h>

#include <functional>

namespace pwdbox {

// Posted to the window when a job is done; wParam is the job's number.
constexpr UINT PBM_JOBDONE = 7310;

class BackgroundJob {
public:
    BackgroundJob() = default;
    // Waits for work still running: it is bounded (the derivation's
    // parameters are), and it never waits for this thread.
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Runs `work` on a new thread; PBM_JOBDONE goes to `window` when it is
    // done. False (and nothing run) while a job runs or without a thread.
    bool Start(HWND window, std::function<int()> work);
    bool Running() const { return thread_ != nullptr; }
    // At PBM_JOBDONE: true with the work's result when the message is this
    // job's; the thread is then gone and the work (and what it held) freed.
    bool Finish(WPARAM wp, int& result);

private:
    static unsigned __stdcall Run(void* self);
    void Join();

    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
    UINT serial_ = 0;
    std::function<int()> work_;
    int result_ = 0;
};

}  // namespace pwdbox
