// Stand-ins for the shell and the message box that remember what they were asked,
// for tests that must see what would have been opened or said. Each installs
// itself for its lifetime and puts the previous handler back.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "MessageBox.h"
#include "ShellOpen.h"

namespace pinora::test {

struct ShellCall {
    HWND owner;
    std::string file;
    std::string params;
};

class ShellOpenRecorder {
public:
    // result: what the shell answers (above 32 means it opened).
    explicit ShellOpenRecorder(INT_PTR result = 42) : previous_(uikit::SetShellOpenHandler(&Record)) {
        calls_.clear();
        result_ = result;
    }
    ~ShellOpenRecorder() { uikit::SetShellOpenHandler(previous_); }
    ShellOpenRecorder(const ShellOpenRecorder&) = delete;
    ShellOpenRecorder& operator=(const ShellOpenRecorder&) = delete;
    const std::vector<ShellCall>& Calls() const { return calls_; }

private:
    static INT_PTR Record(HWND owner, const char* file, const char* params) {
        calls_.push_back({owner, file ? file : "", params ? params : ""});
        return result_;
    }
    inline static std::vector<ShellCall> calls_;
    inline static INT_PTR result_ = 42;
    uikit::ShellOpenHandler previous_;
};

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

class MessageBoxRecorder {
public:
    MessageBoxRecorder() : previous_(uikit::SetMessageBoxHandler(&Record)) { calls_.clear(); }
    ~MessageBoxRecorder() { uikit::SetMessageBoxHandler(previous_); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
    const std::vector<MessageBoxCall>& Calls() const { return calls_; }

private:
    static int Record(HWND owner, const char* text, const char* caption, UINT type) {
        calls_.push_back({owner, text, caption, type});
        return IDOK;
    }
    inline static std::vector<MessageBoxCall> calls_;
    uikit::MessageBoxHandler previous_;
};

}  // namespace pinora::test
