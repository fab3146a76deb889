#include "NotesExport.h"

#include <cstdio>

#include "Clock.h"
#include "Handles.h"
#include "NoteSearch.h"
#include "NotesLogic.h"
#include "RtfWriter.h"
#include "WindowText.h"

namespace pinora {
namespace {

constexpr const char* kNoNotesLine = "No notes today:";

// One reference held and given back at the end.
class DispatchRef {
public:
    DispatchRef() = default;
    explicit DispatchRef(IDispatch* p) : p_(p) {}
    ~DispatchRef() { reset(); }
    DispatchRef(const DispatchRef&) = delete;
    DispatchRef& operator=(const DispatchRef&) = delete;
    IDispatch* get() const { return p_; }
    void reset(IDispatch* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }

private:
    IDispatch* p_ = nullptr;
};

// The IDispatch a get returned, or nullptr.
IDispatch* GetDispatch(IDispatch* object, const char* name) {
    if (!object) return nullptr;
    VARIANT result;
    VariantInit(&result);
    if (FAILED(InvokeByName(DISPATCH_PROPERTYGET, &result, object, name, 0, nullptr))) return nullptr;
    if (result.vt == VT_DISPATCH) return result.pdispVal;  // the reference is ours now
    VariantClear(&result);
    return nullptr;
}

void PutInt(IDispatch* object, const char* name, int value) {
    if (!object) return;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    InvokeByName(DISPATCH_PROPERTYPUT, nullptr, object, name, 1, &v);
}

class WordDocument : public ExportDocument {
public:
    explicit WordDocument(IDispatch* app) : app_(app) {
        PutInt(app, "Visible", 1);
        documents_.reset(GetDispatch(app, "Documents"));
        if (documents_.get()) {
            VARIANT added;
            VariantInit(&added);
            InvokeByName(DISPATCH_METHOD, &added, documents_.get(), "Add", 0, nullptr);
            VariantClear(&added);
        }
        document_.reset(GetDispatch(app, "ActiveDocument"));
        selection_.reset(GetDispatch(app, "Selection"));
    }
    ~WordDocument() override {
        // Word stays open and visible with the new document.
        selection_.reset();
        document_.reset();
        documents_.reset();
        app_.reset();
    }

    void TypeText(const std::string& ansiText) override {
        if (!selection_.get()) return;
        VARIANT text;
        VariantInit(&text);
        text.vt = VT_BSTR;
        const std::wstring wide = uikit::Widen(ansiText);
        text.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        InvokeByName(DISPATCH_METHOD, nullptr, selection_.get(), "TypeText", 1, &text);
        VariantClear(&text);
    }

    void SetItalic() override {
        DispatchRef font(GetDispatch(selection_.get(), "Font"));
        PutInt(font.get(), "Italic", 1);
    }

private:
    DispatchRef app_;
    DispatchRef documents_;
    DispatchRef document_;
    DispatchRef selection_;
};

class RtfExport : public ExportDocument {
public:
    void TypeText(const std::string& ansiText) override {
        const std::wstring wide = uikit::Widen(ansiText);
        doc_.TypeText(std::u16string(wide.begin(), wide.end()));
    }
    void SetItalic() override { doc_.SetItalic(); }
    std::string Text() const { return doc_.Text(); }

private:
    RtfDocument doc_;
};

bool WriteNewFile(const std::string& path, const std::string& bytes, bool& exists) {
    uikit::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
    exists = !file && GetLastError() == ERROR_FILE_EXISTS;
    if (!file) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    file.reset();
    if (!ok) DeleteFileA(path.c_str());
    return ok;
}

}  // namespace

HRESULT InvokeByName(WORD kind, VARIANT* result, IDispatch* object, const char* name, int argCount,
                     VARIANT* args) {
    char failure[200];
    const std::wstring wideName = uikit::Widen(name ? name : "");
    LPOLESTR names[1] = {const_cast<LPOLESTR>(wideName.c_str())};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object ? object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id) : E_POINTER;
    if (FAILED(hr)) {
        std::snprintf(failure, sizeof failure, "IDispatch::GetIDsOfNames(\"%s\") failed w/err 0x%08lx\n", name,
                      static_cast<unsigned long>(hr));
        OutputDebugStringA(failure);
        return hr;
    }
    DISPID namedPut = DISPID_PROPERTYPUT;
    DISPPARAMS params = {};
    params.cArgs = static_cast<UINT>(argCount);
    params.rgvarg = args;
    if (kind & DISPATCH_PROPERTYPUT) {
        params.cNamedArgs = 1;
        params.rgdispidNamedArgs = &namedPut;
    }
    hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, &params, result, nullptr, nullptr);
    if (FAILED(hr)) {
        std::snprintf(failure, sizeof failure, "IDispatch::Invoke(\"%s\"=%08lx) failed w/err 0x%08lx\n", name,
                      static_cast<unsigned long>(id), static_cast<unsigned long>(hr));
        OutputDebugStringA(failure);
    }
    return hr;
}

IDispatch* StartWordApplication() {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"Word.Application", &clsid))) return nullptr;
    IDispatch* app = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&app))))
        return nullptr;
    return app;
}

void TypeNotes(ExportDocument& document, const std::vector<ExportEntry>& entries) {
    for (const ExportEntry& entry : entries) {
        std::string bytes;
        if (ReadNoteFile(entry.path.c_str(), bytes)) {
            // Notes follow each other with nothing between them but their own line ends.
            const std::string text = NoteTextOf(bytes);
            if (!text.empty()) document.TypeText(text);
        } else {
            document.SetItalic();
            document.TypeText(kNoNotesLine + entry.path + "\r\n");
        }
    }
}

bool ExportToWord(const WordStarter& startWord, const std::vector<ExportEntry>& entries) {
    const HRESULT init = CoInitialize(nullptr);
    bool started = false;
    if (IDispatch* app = startWord ? startWord() : nullptr) {
        started = true;
        WordDocument document(app);
        TypeNotes(document, entries);
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return started;
}

std::string ExportToRtfFile(const std::string& folder, const std::vector<ExportEntry>& entries) {
    RtfExport document;
    TypeNotes(document, entries);
    const std::string text = document.Text();

    const LocalTime now = CurrentClock().Now();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "Notes export %04d-%02d-%02d %02d.%02d.%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    for (int n = 1; n < 100; ++n) {
        const std::string path = folder + stamp + (n == 1 ? std::string() : " (" + std::to_string(n) + ")") + ".rtf";
        bool exists = false;
        if (WriteNewFile(path, text, exists)) return path;
        if (!exists) return "";
    }
    return "";
}

}  // namespace pinora
