#include "ExcelExport.h"

#include <ole2.h>
#include <oleauto.h>

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <string>

#include "CsvExport.h"
#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdStore.h"
#include "SecretMemory.h"
#include "Utf8Text.h"

namespace {

// Calls a member of an automation object by name. Arguments come in the
// order of the call and are handed over reversed, as automation wants them.
HRESULT AutoWrap(HWND owner, WORD kind, VARIANT* result, IDispatch* object, const wchar_t* name, int count, ...) {
    if (!object) {
        pwdbox::ShowText(owner, "NULL IDispatch passed to AutoWrap()", "Error", MB_OK | MB_ICONERROR);
        return E_POINTER;
    }
    char narrow[128] = {};
    WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    DISPID id = 0;
    LPOLESTR member = const_cast<LPOLESTR>(name);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        char text[256];
        std::snprintf(text, sizeof text, "IDispatch::GetIDsOfNames(\"%s\") failed w/err 0x%08lx", narrow, long(hr));
        pwdbox::ShowText(owner, text, "AutoWrap()", MB_OK | MB_ICONERROR);
        return hr;
    }
    VARIANT args[4];
    va_list list;
    va_start(list, count);
    for (int i = 0; i < count && i < 4; ++i) args[count - 1 - i] = va_arg(list, VARIANT);
    va_end(list);
    DISPPARAMS params = {args, nullptr, UINT(count), 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (kind & DISPATCH_PROPERTYPUT) {
        params.cNamedArgs = 1;
        params.rgdispidNamedArgs = &named;
    }
    hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, &params, result, nullptr, nullptr);
    if (FAILED(hr)) {
        char text[256];
        std::snprintf(text, sizeof text, "IDispatch::Invoke(\"%s\"=%08lx) failed w/err 0x%08lx", narrow, long(id),
                      long(hr));
        pwdbox::ShowText(owner, text, "AutoWrap()", MB_OK | MB_ICONERROR);
    }
    return hr;
}

VARIANT Int(int value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

// A BSTR variant from ANSI text; the caller clears it.
VARIANT Text(const std::string& text) {
    VARIANT v;
    VariantInit(&v);
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 1), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(wide.c_str());
    return v;
}

IDispatch* GetObject(HWND owner, IDispatch* from, const wchar_t* name) {
    VARIANT result;
    VariantInit(&result);
    if (FAILED(AutoWrap(owner, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &result, from, name, 0))) return nullptr;
    return result.vt == VT_DISPATCH ? result.pdispVal : nullptr;
}

void PutCell(HWND owner, IDispatch* sheet, int row, int column, const std::string& value) {
    VARIANT cell;
    VariantInit(&cell);
    if (FAILED(AutoWrap(owner, DISPATCH_PROPERTYGET, &cell, sheet, L"Cells", 2, Int(row), Int(column))) ||
        cell.vt != VT_DISPATCH)
        return;
    VARIANT text = Text(value);
    AutoWrap(owner, DISPATCH_PROPERTYPUT, nullptr, cell.pdispVal, L"Value", 1, text);
    VariantClear(&text);
    VariantClear(&cell);
}

void FillSheet(HWND owner, IDispatch* sheet) {
    // Damaged records are left out; a cell that would be taken for a formula
    // is put as text. What was put into the sheet when reading fails stays.
    int n = 0;
    pnstore::PwdStore().readLiveRecords([&](const pnstore::ListedRecord& r) {
        if (r.damaged) return true;
        ++n;
        PutCell(owner, sheet, n, 1, std::to_string(n));
        PutCell(owner, sheet, n, 2, pnstore::AsSpreadsheetText(uikit::Utf8Prefix(r.user, 127)));
        std::string password = pnstore::AsSpreadsheetText(r.password);
        PutCell(owner, sheet, n, 3, password);
        pncrypto::Wipe(password);
        PutCell(owner, sheet, n, 4, pnstore::AsSpreadsheetText(uikit::Utf8Prefix(r.url, 1023)));
        return true;
    });
}

}  // namespace

bool OfferCsvExport(HWND owner) {
    if (pwdbox::ShowInfo(owner, IDS_PB_CSV_OFFER, IDS_PB_MESSAGE_TITLE, MB_YESNO) != IDYES) return false;
    std::string path;
    if (!pwdbox::ChooseFile(owner, pwdbox::FileDialogKind::SaveCsv, path) || path.empty()) return false;
    std::string csv;
    bool read = pnstore::BuildRecordsCsv(csv);
    bool written = false;
    if (read) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << csv;
        out.close();
        written = bool(out);
    }
    if (!csv.empty()) SecureZeroMemory(&csv[0], csv.size());
    pwdbox::ShowInfo(owner, written ? IDS_PB_CSV_SAVED : IDS_PB_CSV_FAILED, IDS_PB_MESSAGE_TITLE);
    return written;
}

int ExportRecordsToSpreadsheet(HWND owner) {
    HRESULT init = CoInitialize(nullptr);
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"Excel.Application", &clsid))) {
        pwdbox::ShowText(owner, "CLSIDFromProgID() failed", "Error", MB_OK | MB_ICONERROR);
        if (SUCCEEDED(init)) CoUninitialize();
        OfferCsvExport(owner);
        return -1;
    }
    IDispatch* app = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&app))) ||
        !app) {
        pwdbox::ShowText(owner, "Excel not registered properly", "Error", MB_OK | MB_ICONERROR);
        if (SUCCEEDED(init)) CoUninitialize();
        OfferCsvExport(owner);
        return -2;
    }
    AutoWrap(owner, DISPATCH_PROPERTYPUT, nullptr, app, L"Visible", 1, Int(1));
    IDispatch* books = GetObject(owner, app, L"Workbooks");
    IDispatch* book = books ? GetObject(owner, books, L"Add") : nullptr;
    IDispatch* sheet = GetObject(owner, app, L"ActiveSheet");
    if (sheet) FillSheet(owner, sheet);
    for (IDispatch* object : {sheet, book, books, app})
        if (object) object->Release();
    if (SUCCEEDED(init)) CoUninitialize();
    return 0;
}
