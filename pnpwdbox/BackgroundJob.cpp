#include "BackgroundJob.h"

#include <process.h>

namespace pwdbox {

BackgroundJob::~BackgroundJob() { Join(); }

bool BackgroundJob::Start(HWND window, std::function<int()> work) {
    if (thread_ || !work) return false;
    window_ = window;
    work_ = std::move(work);
    ++serial_;
    thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &BackgroundJob::Run, this, 0, nullptr));
    if (!thread_) work_ = nullptr;
    return thread_ != nullptr;
}

unsigned __stdcall BackgroundJob::Run(void* self) {
    auto* job = static_cast<BackgroundJob*>(self);
    try {
        job->result_ = job->work_();
    } catch (...) {
        job->result_ = -1;
    }
    // Posted, never sent: the window thread may be waiting for this one.
    PostMessageA(job->window_, PBM_JOBDONE, job->serial_, 0);
    return 0;
}

bool BackgroundJob::Finish(WPARAM wp, int& result) {
    if (!thread_ || wp != serial_) return false;
    Join();
    result = result_;
    return true;
}

void BackgroundJob::Join() {
    if (!thread_) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
    work_ = nullptr;
}

}  // namespace pwdbox
