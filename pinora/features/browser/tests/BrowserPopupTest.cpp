// The browser container and the dictionary popup. Wine here has no HTML engine,
// so the real control cannot show pages: that path ends in the "Error" box and
// the web browser. The container's OLE steps are checked against a stand-in
// control registered for this process under the control's own class id.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BrowserPopup.h"
#include "CallRecorders.h"
#include "Handles.h"
#include "IECntrWnd.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

// What the stand-in control was asked.
struct ControlLog {
    IOleClientSite* site = nullptr;
    LONG verb = 0;
    HWND activatedIn = nullptr;
    RECT activatedRect = {};
    HWND frameWindow = nullptr;
    RECT objectRect = {};
    std::vector<std::wstring> names;
    std::wstring navigatedTo;
    UINT navigateArgs = 0;
    bool optionalArgsEmpty = false;
    bool closed = false;
    bool siteCleared = false;
    LONG readyState = 4;
    HWND innerWindow = nullptr;
    LONG live = 0;
};
ControlLog g_log;

constexpr DISPID kNavigateId = 104;
constexpr DISPID kReadyStateId = -525;

// Implements just enough of the browser control for the container: the OLE
// object, in-place object and late-bound dispatch.
class FakeBrowser final : public IOleObject, public IOleInPlaceObject, public IDispatch {
public:
    FakeBrowser() { ++g_log.live; }
    ~FakeBrowser() {
        --g_log.live;
        if (innerHost_) DestroyWindow(innerHost_);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleObject))
            *out = static_cast<IOleObject*>(this);
        else if (IsEqualIID(riid, IID_IOleInPlaceObject) || IsEqualIID(riid, IID_IOleWindow))
            *out = static_cast<IOleInPlaceObject*>(this);
        else if (IsEqualIID(riid, IID_IDispatch))
            *out = static_cast<IDispatch*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
        if (site) {
            g_log.site = site;
        } else {
            g_log.siteCleared = true;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override {
        g_log.closed = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                     LPCRECT rect) override {
        g_log.verb = verb;
        g_log.activatedIn = parent;
        if (rect) g_log.activatedRect = *rect;
        IOleInPlaceSite* inPlace = nullptr;
        if (!site || FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
            return E_UNEXPECTED;
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* doc = nullptr;
        RECT pos, clip;
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof info;
        if (inPlace->CanInPlaceActivate() == S_OK && SUCCEEDED(inPlace->OnInPlaceActivate()) &&
            SUCCEEDED(inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info))) {
            g_log.frameWindow = info.hwndFrame;
            if (frame) frame->Release();
        }
        inPlace->Release();
        // The real control nests its page three windows deep.
        innerHost_ = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr, nullptr,
                                   nullptr);
        HWND middle = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, innerHost_, nullptr,
                                    nullptr, nullptr);
        g_log.innerWindow = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, middle, nullptr,
                                          nullptr, nullptr);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        *out = innerHost_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT) override {
        g_log.objectRect = *pos;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) return E_INVALIDARG;
        g_log.names.push_back(names[0]);
        std::wstring name = names[0];
        if (name == L"Navigate") *ids = kNavigateId;
        else if (name == L"ReadyState") *ids = kReadyStateId;
        else return DISP_E_UNKNOWNNAME;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id == kNavigateId && kind == DISPATCH_METHOD) {
            g_log.navigateArgs = params->cArgs;
            if (params->cArgs != 5 || params->rgvarg[4].vt != VT_BSTR) return DISP_E_BADPARAMCOUNT;
            g_log.navigatedTo = params->rgvarg[4].bstrVal;
            g_log.optionalArgsEmpty = true;
            for (int i = 0; i < 4; ++i)
                if (params->rgvarg[i].vt != VT_EMPTY) g_log.optionalArgsEmpty = false;
            return S_OK;
        }
        if (id == kReadyStateId && (kind & DISPATCH_PROPERTYGET) && result) {
            result->vt = VT_I4;
            result->lVal = g_log.readyState;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    ULONG refs_ = 1;
    HWND innerHost_ = nullptr;
};

// An HTML document stand-in: its creation is all the container asks of it.
class PlainObject final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG refs_ = 1;
};

template <typename T>
class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        T* object = new T;
        HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// Registers the stand-ins under the ids the container looks up, for one test.
class StandInControl {
public:
    StandInControl() {
        CLSID browser = {}, html = {};
        ok_ = SUCCEEDED(CLSIDFromProgID(L"Shell.Explorer", &browser)) &&
              SUCCEEDED(CLSIDFromProgID(L"htmlfile", &html)) &&
              SUCCEEDED(CoRegisterClassObject(browser, &browserFactory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                              &browserCookie_)) &&
              SUCCEEDED(CoRegisterClassObject(html, &htmlFactory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                              &htmlCookie_));
    }
    ~StandInControl() {
        if (browserCookie_) CoRevokeClassObject(browserCookie_);
        if (htmlCookie_) CoRevokeClassObject(htmlCookie_);
    }
    bool Registered() const { return ok_; }

private:
    Factory<FakeBrowser> browserFactory_;
    Factory<PlainObject> htmlFactory_;
    DWORD browserCookie_ = 0, htmlCookie_ = 0;
    bool ok_ = false;
};

int g_contextMenus = 0;
LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CONTEXTMENU) ++g_contextMenus;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = ControlLog{};
        g_contextMenus = 0;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PN_BROWSERTESTHOST";
        RegisterClassA(&wc);
        host.reset(CreateWindowA("PN_BROWSERTESTHOST", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                                 wc.hInstance, nullptr));
    }
    test::ProgramFolderFixture folder;
    test::MessageBoxRecorder boxes;
    test::ShellOpenRecorder shell;
    uikit::UniqueHwnd host;
};

TEST_F(BrowserTest, WithoutAnHtmlEngineTheContainerReportsAndKeepsNoWindow) {
    CIECntrWnd container;
    EXPECT_EQ(container.Create(host.get(), RECT{0, 0, 200, 100}), 0);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].caption, "Error");
    EXPECT_EQ(boxes.Calls()[0].owner, nullptr);
    EXPECT_FALSE(boxes.Calls()[0].text.empty());
    EXPECT_EQ(boxes.Calls()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_FALSE(container.HasControl());
    EXPECT_EQ(container.Window(), nullptr);
    EXPECT_EQ(GetWindow(host.get(), GW_CHILD), nullptr);
    // Everything after a failed creation is harmless.
    container.Navigate("https://dict.example/");
    container.Repaint();
    EXPECT_FALSE(container.ReadyState());
}

TEST_F(BrowserTest, ContainerActivatesTheControlInPlaceAndDrivesItByName) {
    StandInControl control;
    ASSERT_TRUE(control.Registered());
    {
        CIECntrWnd container;
        ASSERT_EQ(container.Create(host.get(), RECT{5, 6, 205, 106}), 1);
        EXPECT_TRUE(boxes.Calls().empty());
        HWND window = container.Window();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(GetParent(window), host.get());
        LONG style = GetWindowLongA(window, GWL_STYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);

        EXPECT_NE(g_log.site, nullptr);
        EXPECT_EQ(g_log.verb, OLEIVERB_INPLACEACTIVATE);
        EXPECT_EQ(g_log.activatedIn, window);
        EXPECT_EQ(g_log.activatedRect.right, 200);
        EXPECT_EQ(g_log.activatedRect.bottom, 100);
        EXPECT_EQ(g_log.frameWindow, host.get());

        container.Navigate("https://dict.example/mini.php?q=two words");
        EXPECT_EQ(g_log.navigateArgs, 5u);
        EXPECT_EQ(g_log.navigatedTo, L"https://dict.example/mini.php?q=two words");
        EXPECT_TRUE(g_log.optionalArgsEmpty);
        EXPECT_TRUE(container.ReadyState());
        g_log.readyState = 3;
        EXPECT_FALSE(container.ReadyState());

        // The container's size is the control's.
        MoveWindow(window, 0, 0, 320, 240, TRUE);
        EXPECT_EQ(g_log.objectRect.right, 320);
        EXPECT_EQ(g_log.objectRect.bottom, 240);

        // Right clicks end in the container: no context menu reaches its parent.
        SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
        SendMessageA(window, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(g_contextMenus, 0);
        SendMessageA(host.get(), WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(g_contextMenus, 1);  // the parent itself would have shown one

        // Repaint reaches the page's innermost window.
        ASSERT_NE(g_log.innerWindow, nullptr);
        ValidateRect(g_log.innerWindow, nullptr);
        container.Repaint();
        RECT dirty;
        EXPECT_TRUE(GetUpdateRect(g_log.innerWindow, &dirty, FALSE));

        DestroyWindow(window);
        EXPECT_TRUE(g_log.closed);
        EXPECT_TRUE(g_log.siteCleared);
        EXPECT_EQ(container.Window(), nullptr);
        EXPECT_FALSE(container.HasControl());
    }
    EXPECT_EQ(g_log.live, 0);  // every reference to the control was given back
}

TEST_F(BrowserTest, PopupWithoutTheControlHandsWebAddressesToTheBrowser) {
    CBrowserPopup popup;
    ASSERT_TRUE(popup.Create(host.get()));
    char cls[64] = {};
    GetClassNameA(popup.hwnd(), cls, sizeof cls);
    EXPECT_STREQ(cls, "VekBrowserWindow");
    EXPECT_EQ(GetWindow(popup.hwnd(), GW_OWNER), host.get());
    EXPECT_FALSE(popup.Visible());
    LONG style = GetWindowLongA(popup.hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(GetWindowLongA(popup.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT rc;
    GetWindowRect(popup.hwnd(), &rc);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 400);

    EXPECT_STREQ(popup.LastAddress(), "about:blank");
    EXPECT_FALSE(popup.HasBrowserControl());
    ASSERT_EQ(boxes.Calls().size(), 1u);  // the control's "Error"
    EXPECT_TRUE(shell.Calls().empty());   // the blank page is not sent to the browser

    popup.Navigate("https://dict.example/mini.php?q=two words");
    popup.Navigate("");
    popup.Navigate(nullptr);
    popup.Navigate("C:\\Windows\\system32\\cmd.exe");
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, "https://dict.example/mini.php?q=two%20words");
    EXPECT_STREQ(popup.LastAddress(), "about:blank");

    // A second creation reuses the window, and closing only hides it.
    HWND first = popup.hwnd();
    EXPECT_TRUE(popup.Create(host.get()));
    EXPECT_EQ(popup.hwnd(), first);
    popup.ShowAt(10, 20, 150, 200);
    EXPECT_TRUE(popup.Visible());
    EXPECT_TRUE(GetWindowLongA(popup.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    SendMessageA(popup.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_FALSE(popup.Visible());
    EXPECT_EQ(boxes.Calls().size(), 1u);
}

TEST_F(BrowserTest, PopupWithTheControlShowsPagesInItAndSizesIt) {
    StandInControl control;
    ASSERT_TRUE(control.Registered());
    CBrowserPopup popup;
    ASSERT_TRUE(popup.Create(host.get()));
    ASSERT_TRUE(popup.HasBrowserControl());
    EXPECT_EQ(g_log.navigatedTo, L"about:blank");
    EXPECT_STREQ(popup.LastAddress(), "about:blank");

    popup.Navigate("https://dict.example/mini.php?q=word");
    EXPECT_EQ(g_log.navigatedTo, L"https://dict.example/mini.php?q=word");
    EXPECT_TRUE(shell.Calls().empty());
    EXPECT_STREQ(popup.LastAddress(), "about:blank");  // recorded once, at creation

    popup.ShowAt(0, 0, 250, 300);
    RECT client, page;
    GetClientRect(popup.hwnd(), &client);
    GetWindowRect(popup.Container()->Window(), &page);
    EXPECT_EQ(page.right - page.left, client.right);
    EXPECT_EQ(page.bottom - page.top, client.bottom);
    EXPECT_EQ(g_log.objectRect.right, client.right);

    popup.Destroy();
    EXPECT_TRUE(g_log.closed);
}

}  // namespace
}  // namespace pinora
