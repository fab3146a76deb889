#include "CommandBox.h"

#include <commctrl.h>

#include <memory>

#include "CommandRules.h"

namespace pinora {
namespace {

constexpr UINT_PTR kNoteBoxSubclass = 2425;
constexpr UINT_PTR kWordBoxSubclass = 1075;
// The word box's state rides on the window, so that its text can be judged later.
const char* const kWordBoxProperty = "PinoraWordBox";

std::string WindowText(HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), length + 1)));
    return text;
}

// Tells the parent which command the text is; true when the Enter is spent on
// it (a reminder line leaves the box instead of getting a line break).
bool NotifyCommandWord(HWND box) {
    const std::string text = WindowText(box);
    unsigned code = MatchCommandWord(text);
    const bool reminder = code == 0 && MatchReminderLine(text, nullptr);
    if (reminder) code = kCmdRemind;
    if (code == 0) return false;
    NMHDR hdr = {box, static_cast<UINT_PTR>(GetDlgCtrlID(box)), code};
    SendMessageA(GetParent(box), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    return reminder;
}

LRESULT CALLBACK NoteBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR) noexcept {
    try {
        if (msg == WM_CHAR && wp == VK_RETURN && NotifyCommandWord(hwnd)) return 0;
    } catch (...) {
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, NoteBoxProc, id);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

struct WordBox {
    std::string hint;
    int lookupId = 0;
    int previousDefault = 0;
};

bool ShowsHint(HWND box, const WordBox& state) { return WindowText(box) == state.hint; }

LRESULT CALLBACK WordBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) noexcept {
    auto* state = reinterpret_cast<WordBox*>(data);
    try {
        switch (msg) {
        case WM_LBUTTONDOWN:
            // The hint goes away; words the user typed stay, so a click to move
            // the caret does not lose them.
            if (ShowsHint(hwnd, *state)) SetWindowTextA(hwnd, "");
            SetFocus(hwnd);
            break;
        case WM_SETFOCUS: {
            HWND dialog = GetParent(hwnd);
            LRESULT current = SendMessageA(dialog, DM_GETDEFID, 0, 0);
            if (HIWORD(current) == DC_HASDEFID && LOWORD(current) != state->lookupId)
                state->previousDefault = LOWORD(current);
            SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(state->lookupId), 0);
            break;
        }
        case WM_KILLFOCUS:
            if (state->previousDefault != 0)
                SendMessageA(GetParent(hwnd), DM_SETDEFID, static_cast<WPARAM>(state->previousDefault), 0);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, WordBoxProc, id);
            RemovePropA(hwnd, kWordBoxProperty);
            delete state;
            return DefSubclassProc(hwnd, msg, wp, lp);
        default:
            break;
        }
    } catch (...) {
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

bool AttachCommandWords(HWND noteBox) {
    return noteBox && SetWindowSubclass(noteBox, NoteBoxProc, kNoteBoxSubclass, 0);
}

bool AttachWordBox(HWND wordBox, const std::string& hint, int lookupId) {
    if (!wordBox) return false;
    auto state = std::make_unique<WordBox>();
    state->hint = hint;
    state->lookupId = lookupId;
    SetWindowTextA(wordBox, hint.c_str());
    if (!SetWindowSubclass(wordBox, WordBoxProc, kWordBoxSubclass, reinterpret_cast<DWORD_PTR>(state.get())))
        return false;
    SetPropA(wordBox, kWordBoxProperty, state.get());
    state.release();  // the subclass owns it until the box is destroyed
    return true;
}

std::string WordBoxWords(HWND wordBox) {
    if (!wordBox || !IsWindow(wordBox)) return {};
    std::string words = WindowText(wordBox);
    const auto* state = static_cast<const WordBox*>(GetPropA(wordBox, kWordBoxProperty));
    if (state && words == state->hint) return {};
    return words;
}

}  // namespace pinora
