#include "DropTarget_win.h"

#include <shellapi.h>

#include <cwchar>
#include <vector>

#include "WindowText.h"

namespace pinora {
namespace {

bool Offers(IDataObject* data, CLIPFORMAT format, DWORD media) {
    FORMATETC fe = {format, nullptr, DVASPECT_CONTENT, -1, media};
    return data && data->QueryGetData(&fe) == S_OK;
}

std::string TextFromStream(IStream* stream) {
    std::string text;
    std::vector<char> chunk(10000);
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(chunk.data(), static_cast<ULONG>(chunk.size()), &got)) && got > 0)
        text.append(chunk.data(), got);
    return text.substr(0, text.find('\0'));
}

std::string TextFromGlobal(HGLOBAL mem) {
    std::string text;
    SIZE_T size = GlobalSize(mem);
    if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
        size_t n = 0;
        while (n < size && p[n]) ++n;  // never read past the block, terminated or not
        text.assign(p, n);
        GlobalUnlock(mem);
    }
    return text;
}

// Unicode text, as every program offers it; its CF_TEXT would be in that
// program's code page, not in UTF-8.
std::string UnicodeTextFromGlobal(HGLOBAL mem) {
    std::wstring wide;
    const SIZE_T units = GlobalSize(mem) / sizeof(wchar_t);
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(mem))) {
        wide.assign(p, wcsnlen(p, units));
        GlobalUnlock(mem);
    }
    return uikit::Narrow(wide);
}

std::string PathsFromDrop(HGLOBAL mem) {
    std::string text;
    HDROP drop = static_cast<HDROP>(mem);
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        text += uikit::Narrow(path);
    }
    return text;
}

}  // namespace

std::string QuickNoteDropTarget::TextOf(IDataObject* data) {
    if (!data) return {};
    std::string text;
    STGMEDIUM medium = {};
    FORMATETC unicode = {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (Offers(data, CF_UNICODETEXT, TYMED_HGLOBAL) && data->GetData(&unicode, &medium) == S_OK) {
        text = UnicodeTextFromGlobal(medium.hGlobal);
        ReleaseStgMedium(&medium);
        return text;
    }
    FORMATETC fe = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    if (Offers(data, CF_TEXT, TYMED_ISTREAM) && data->GetData(&fe, &medium) == S_OK) {
        text = TextFromStream(medium.pstm);
        ReleaseStgMedium(&medium);
        return text;
    }
    fe.tymed = TYMED_HGLOBAL;
    if (Offers(data, CF_TEXT, TYMED_HGLOBAL) && data->GetData(&fe, &medium) == S_OK) {
        text = TextFromGlobal(medium.hGlobal);
        ReleaseStgMedium(&medium);
        return text;
    }
    fe.cfFormat = CF_HDROP;
    if (Offers(data, CF_HDROP, TYMED_HGLOBAL) && data->GetData(&fe, &medium) == S_OK) {
        text = PathsFromDrop(medium.hGlobal);
        ReleaseStgMedium(&medium);
    }
    return text;
}

HRESULT QuickNoteDropTarget::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG QuickNoteDropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG QuickNoteDropTarget::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

HRESULT QuickNoteDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    acceptable_ = Offers(data, CF_UNICODETEXT, TYMED_HGLOBAL) || Offers(data, CF_TEXT, TYMED_ISTREAM) ||
                  Offers(data, CF_TEXT, TYMED_HGLOBAL) || Offers(data, CF_HDROP, TYMED_HGLOBAL);
    if (effect) *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT QuickNoteDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect) *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT QuickNoteDropTarget::DragLeave() {
    acceptable_ = false;
    return S_OK;
}

HRESULT QuickNoteDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    try {
        AppendToEdit(TextOf(data));
        if (effect) *effect = DROPEFFECT_COPY;
    } catch (...) {
        if (effect) *effect = DROPEFFECT_NONE;
    }
    acceptable_ = false;
    return S_OK;
}

void QuickNoteDropTarget::AppendToEdit(const std::string& text) {
    if (text.empty()) return;
    int end = GetWindowTextLengthA(edit_);
    SendMessageA(edit_, EM_SETSEL, end, end);
    SendMessageA(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

bool RegisterQuickNoteDropTarget(HWND edit) {
    auto* target = new QuickNoteDropTarget(edit);
    HRESULT hr = RegisterDragDrop(edit, target);
    target->Release();  // OLE holds its own reference while registered
    return SUCCEEDED(hr);
}

void RevokeQuickNoteDropTarget(HWND edit) { RevokeDragDrop(edit); }

}  // namespace pinora
