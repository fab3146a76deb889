#include "IECntrWnd.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "MessageBox.h"

namespace pinora {
namespace {

const char* const kContainerClass = "PN_IECNTRWND";

// Repaint's trace lines; they go to the debugger only in tracing builds.
void Trace([[maybe_unused]] const char* format, ...) {
#ifdef PINORA_TRACE
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    OutputDebugStringA(line);
#endif
}

// The system's words for a failure, or its number when the system has none.
std::string FailureText(HRESULT hr) {
    char text[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(hr), 0, text, sizeof text, nullptr);
    if (n == 0) std::snprintf(text, sizeof text, "Error 0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// The control shows web pages through the system's HTML document; without it a
// created control stays blank, so it counts as one that cannot be created.
HRESULT HtmlEngineAvailable() {
    CLSID clsid = {};
    HRESULT hr = CLSIDFromProgID(L"htmlfile", &clsid);
    if (FAILED(hr)) return hr;
    IUnknown* document = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&document));
    if (document) document->Release();
    return hr;
}

}  // namespace

CIECntrWnd::~CIECntrWnd() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    CloseControl();
}

int CIECntrWnd::Create(HWND parent, const RECT& rect, DWORD style) {
    if (window_) return HasControl() ? 1 : 0;
    parent_ = parent;
    if (!uikit::RegisterObjectWindowClass<CIECntrWnd>(kContainerClass, CS_HREDRAW | CS_VREDRAW)) return 0;
    if (style == 0) style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    window_ = CreateWindowExA(0, kContainerClass, "", style, rect.left, rect.top, rect.right - rect.left,
                              rect.bottom - rect.top, parent, nullptr, GetModuleHandleA(nullptr), this);
    if (!window_) return 0;

    HRESULT hr = CreateControl();
    if (SUCCEEDED(hr)) return 1;
    CloseControl();
    // No page can ever show: the popup stays empty rather than keeping a blank child.
    DestroyWindow(window_);
    uikit::ShowMessageBox(nullptr, FailureText(hr).c_str(), "Error", MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
    return 0;
}

HRESULT CIECntrWnd::CreateControl() {
    CLSID clsid = {};
    HRESULT hr = CLSIDFromProgID(L"Shell.Explorer", &clsid);
    if (FAILED(hr)) return hr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IOleObject,
                          reinterpret_cast<void**>(&oleObject_));
    if (FAILED(hr)) return hr;
    hr = HtmlEngineAvailable();
    if (FAILED(hr)) return hr;
    hr = oleObject_->SetClientSite(static_cast<IOleClientSite*>(this));
    if (FAILED(hr)) return hr;
    RECT client;
    GetClientRect(window_, &client);
    hr = oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, window_,
                            &client);
    if (FAILED(hr)) return hr;
    return oleObject_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
}

void CIECntrWnd::CloseControl() {
    if (dispatch_) dispatch_->Release();
    dispatch_ = nullptr;
    if (oleObject_) {
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
        oleObject_->Release();
    }
    oleObject_ = nullptr;
}

void CIECntrWnd::PlaceControl(const RECT& rect) {
    if (!oleObject_) return;
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(oleObject_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->SetObjectRects(&rect, &rect);
        inPlace->Release();
    }
}

bool CIECntrWnd::Invoke(const wchar_t* name, WORD kind, DISPPARAMS* params, VARIANT* result) {
    if (!dispatch_) return false;
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id))) return false;
    return SUCCEEDED(dispatch_->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, params, result, nullptr, nullptr));
}

void CIECntrWnd::Navigate(const char* url) {
    if (!dispatch_ || !url) return;
    int length = MultiByteToWideChar(CP_ACP, 0, url, -1, nullptr, 0);
    if (length <= 0) return;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, url, -1, wide.data(), length);
    // Arguments go in reverse: the address last, flags, frame, post data and headers empty.
    VARIANT args[5];
    for (VARIANT& v : args) VariantInit(&v);
    args[4].vt = VT_BSTR;
    args[4].bstrVal = SysAllocString(wide.c_str());
    if (!args[4].bstrVal) return;
    DISPPARAMS params = {args, nullptr, 5, 0};
    Invoke(L"Navigate", DISPATCH_METHOD, &params, nullptr);
    SysFreeString(args[4].bstrVal);
}

bool CIECntrWnd::ReadyState() {
    VARIANT state;
    VariantInit(&state);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!Invoke(L"ReadyState", DISPATCH_PROPERTYGET, &none, &state)) return false;
    bool complete = SUCCEEDED(VariantChangeType(&state, &state, 0, VT_I4)) && state.lVal == 4;
    VariantClear(&state);
    return complete;
}

void CIECntrWnd::Repaint() {
    if (!window_) return;
    // The browser's innermost window sits three levels below the container.
    HWND reached = window_;
    for (int level = 0; level < 3; ++level) {
        HWND child = ::GetWindow(reached, GW_CHILD);
        if (!child) break;
        reached = child;
    }
    Trace("CIECntrWnd::Repaint(), hWnd = %p\n", static_cast<void*>(reached));
    InvalidateRect(reached, nullptr, TRUE);
    for (HWND child = ::GetWindow(reached, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        InvalidateRect(child, nullptr, TRUE);
}

HRESULT CIECntrWnd::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
        *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame))
        *out = static_cast<IOleInPlaceFrame*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CIECntrWnd::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CIECntrWnd::GetContainer(IOleContainer** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT CIECntrWnd::GetWindow(HWND* out) {
    if (!out) return E_POINTER;
    *out = window_;
    return window_ ? S_OK : E_FAIL;
}

HRESULT CIECntrWnd::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                     LPOLEINPLACEFRAMEINFO info) {
    if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *doc = nullptr;
    GetClientRect(window_, pos);
    GetClientRect(window_, clip);
    info->cb = sizeof(OLEINPLACEFRAMEINFO);
    info->fMDIApp = FALSE;
    info->hwndFrame = parent_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT CIECntrWnd::OnPosRectChange(LPCRECT rect) {
    if (rect) PlaceControl(*rect);
    return S_OK;
}

LRESULT CIECntrWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: {
        RECT client;
        GetClientRect(window_, &client);
        PlaceControl(client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // the page covers it
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return 0;  // no context menu from the container
    case WM_DESTROY:
        CloseControl();
        return 0;
    default:
        return DefWindowProcA(window_, msg, wp, lp);
    }
}

}  // namespace pinora
