// CIECntrWnd: a small OLE container that embeds the system's web browser
// control ("Shell.Explorer") in a child window and drives it late-bound through
// IDispatch by name ("Navigate", "ReadyState").
#pragma once
#include <windows.h>
#include <ole2.h>

#include "ObjectWindow.h"

namespace pinora {

// What a web page container offers its owner, in this slot order.
class IWebContainer {
public:
    virtual void Repaint() = 0;
    virtual void Navigate(const char* url) = 0;
    virtual bool ReadyState() = 0;

protected:
    ~IWebContainer() = default;
};

class CIECntrWnd final : public IWebContainer,
                         public IOleClientSite,
                         public IOleInPlaceSite,
                         public IOleInPlaceFrame {
public:
    CIECntrWnd() = default;
    ~CIECntrWnd();
    CIECntrWnd(const CIECntrWnd&) = delete;
    CIECntrWnd& operator=(const CIECntrWnd&) = delete;

    // Creates the container window over rect (style 0: a visible child clipping
    // its siblings and children) and the browser control in it, activated in
    // place. Returns 1 on success. When the control cannot be created or cannot
    // show web pages, shows the "Error" box with the system's text for the
    // failure, destroys the container window again and returns 0.
    int Create(HWND parent, const RECT& rect, DWORD style = 0);

    // IWebContainer: each does nothing without a control.
    void Repaint() override;
    void Navigate(const char* url) override;
    bool ReadyState() override;

    HWND Window() const { return window_; }
    bool HasControl() const { return dispatch_ != nullptr; }

    // IUnknown: the container lives as long as its owner, not by its count.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return refs_ > 0 ? --refs_ : 0; }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (through both the site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override;

    // IOleInPlaceUIWindow and IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    friend LRESULT CALLBACK uikit::ObjectWindowProc<CIECntrWnd>(HWND, UINT, WPARAM, LPARAM) noexcept;
    void AttachWindow(HWND hwnd) { window_ = hwnd; }
    void DetachWindow() { window_ = nullptr; }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    HRESULT CreateControl();
    void PlaceControl(const RECT& rect);
    void CloseControl();
    // Late-bound call by name; false when the name is unknown or the call fails.
    bool Invoke(const wchar_t* name, WORD kind, DISPPARAMS* params, VARIANT* result);

    HWND window_ = nullptr;
    HWND parent_ = nullptr;
    IOleObject* oleObject_ = nullptr;
    IDispatch* dispatch_ = nullptr;
    ULONG refs_ = 0;
};

}  // namespace pinora
