// Lets text and files be dropped on the quick-note box: text is added at the end,
// files by their full paths.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <string>

namespace pinora {

class QuickNoteDropTarget final : public IDropTarget {
public:
    explicit QuickNoteDropTarget(HWND edit) : edit_(edit) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

    // What a drop of this data adds to the box; exposed for tests.
    static std::string TextOf(IDataObject* data);

private:
    ~QuickNoteDropTarget() = default;
    void AppendToEdit(const std::string& text);

    HWND edit_;
    LONG refs_ = 1;
    bool acceptable_ = false;
};

// Registers a new drop target on the edit box; false when OLE refuses.
bool RegisterQuickNoteDropTarget(HWND edit);
void RevokeQuickNoteDropTarget(HWND edit);

}  // namespace pinora
