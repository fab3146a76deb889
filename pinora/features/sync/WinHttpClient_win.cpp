#include "WinHttpClient_win.h"

#include <wincrypt.h>

#include <cctype>
#include <vector>

#include "Sha256.h"

namespace pnsync {
namespace {

std::wstring Widen(const std::string& ascii) {
    if (ascii.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, ascii.data(), static_cast<int>(ascii.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, ascii.data(), static_cast<int>(ascii.size()), &w[0], n);
    return w;
}

std::string Narrow(const std::wstring& w) {
    if (w.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::string Hex(const unsigned char* bytes, size_t n) {
    static const char* kHex = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += kHex[bytes[i] >> 4];
        s += kHex[bytes[i] & 15];
    }
    return s;
}

std::string NormalizedPin(const std::string& pin) {
    std::string s;
    for (char c : pin)
        if (std::isxdigit(static_cast<unsigned char>(c))) s += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

HttpResponse TransportFailure(DWORD error) {
    HttpResponse r;
    switch (error) {
    case ERROR_WINHTTP_OPERATION_CANCELLED:
        r.error = TransportError::Cancelled;
        break;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED:
        r.error = TransportError::Tls;
        break;
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
        r.error = TransportError::BadAddress;
        break;
    default:
        r.error = TransportError::Network;
    }
    r.detail = "WinHTTP error " + std::to_string(error);
    return r;
}

std::string QueryHeader(HINTERNET request, DWORD which) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return "";
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, &value[0], &size, WINHTTP_NO_HEADER_INDEX))
        return "";
    value.resize(size / sizeof(wchar_t));
    return Narrow(value);
}

}  // namespace

WinHttpClient::WinHttpClient(std::string pinnedSha256) : pin_(NormalizedPin(pinnedSha256)) {}

WinHttpClient::~WinHttpClient() { Close(); }

void WinHttpClient::Close() {
    if (connection_) WinHttpCloseHandle(connection_);
    if (session_) WinHttpCloseHandle(session_);
    connection_ = session_ = nullptr;
    verified_ = false;
}

void WinHttpClient::Cancel() {
    std::lock_guard<std::mutex> hold(lock_);
    cancelled_ = true;
    // Closing the handle ends a blocking call on it with "cancelled".
    if (inFlight_) WinHttpCloseHandle(inFlight_);
    inFlight_ = nullptr;
}

bool WinHttpClient::Connect(const std::wstring& host, INTERNET_PORT port, bool secure, HttpResponse* failure) {
    if (connection_ && host == host_ && port == port_ && secure == secure_) return true;
    Close();
    session_ = WinHttpOpen(L"Pinora/1.0", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                           WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session_) {
        *failure = TransportFailure(GetLastError());
        return false;
    }
    WinHttpSetTimeouts(session_, 10000, 10000, 30000, 60000);
    connection_ = WinHttpConnect(session_, host.c_str(), port, 0);
    if (!connection_) {
        *failure = TransportFailure(GetLastError());
        Close();
        return false;
    }
    host_ = host;
    port_ = port;
    secure_ = secure;
    return true;
}

bool WinHttpClient::CheckCertificate(HINTERNET request, HttpResponse* failure) {
    PCCERT_CONTEXT cert = nullptr;
    DWORD size = sizeof cert;
    if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &cert, &size) || !cert) {
        failure->error = TransportError::CertificateChanged;
        failure->detail = "the server showed no certificate";
        return false;
    }
    unsigned char digest[pncrypto::kSha256DigestSize];
    pncrypto::Sha256::Digest(cert->pbCertEncoded, cert->cbCertEncoded, digest);
    CertFreeCertificateContext(cert);
    lastCertificate_ = Hex(digest, sizeof digest);
    if (!pin_.empty() && lastCertificate_ != pin_) {
        failure->error = TransportError::CertificateChanged;
        failure->detail = "its SHA-256 is " + lastCertificate_;
        return false;
    }
    return true;
}

HttpResponse WinHttpClient::Exchange(const std::wstring& method, const std::wstring& path, const HttpRequest& request,
                                     bool withBody, bool probe) {
    HINTERNET h = WinHttpOpenRequest(connection_, method.c_str(), path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                     WINHTTP_DEFAULT_ACCEPT_TYPES, secure_ ? WINHTTP_FLAG_SECURE : 0);
    if (!h) return TransportFailure(GetLastError());
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (cancelled_) {
            WinHttpCloseHandle(h);
            return TransportFailure(ERROR_WINHTTP_OPERATION_CANCELLED);
        }
        inFlight_ = h;
    }
    auto finish = [this, h](HttpResponse r) {
        std::lock_guard<std::mutex> hold(lock_);
        if (inFlight_ == h) {
            WinHttpCloseHandle(h);
            inFlight_ = nullptr;
        }
        if (cancelled_) r = TransportFailure(ERROR_WINHTTP_OPERATION_CANCELLED);
        return r;
    };
    if (secure_ && !pin_.empty()) {
        // A self-signed certificate is taken only when it is the pinned one.
        DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                      SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
        WinHttpSetOption(h, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
    }
    std::wstring headers;
    if (!probe)
        for (const auto& [name, value] : request.headers) headers += Widen(name + ": " + value + "\r\n");
    const void* body = withBody && !request.body.empty() ? request.body.data() : WINHTTP_NO_REQUEST_DATA;
    const DWORD length = withBody ? static_cast<DWORD>(request.body.size()) : 0;
    if (!WinHttpSendRequest(h, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                            headers.empty() ? 0 : static_cast<DWORD>(-1L), const_cast<void*>(body), length, length, 0) ||
        !WinHttpReceiveResponse(h, nullptr))
        return finish(TransportFailure(GetLastError()));
    HttpResponse r;
    if (secure_ && !CheckCertificate(h, &r)) return finish(r);
    DWORD status = 0, size = sizeof status;
    WinHttpQueryHeaders(h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX, &status,
                        &size, WINHTTP_NO_HEADER_INDEX);
    r.status = static_cast<int>(status);
    if (probe) return finish(r);
    const std::string etag = QueryHeader(h, WINHTTP_QUERY_ETAG);
    if (!etag.empty()) r.headers["etag"] = etag;
    const std::string retry = QueryHeader(h, WINHTTP_QUERY_RETRY_AFTER);
    if (!retry.empty()) r.headers["retry-after"] = retry;
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(h, &available)) return finish(TransportFailure(GetLastError()));
        if (available == 0) break;
        const size_t old = r.body.size();
        r.body.resize(old + available);
        DWORD read = 0;
        if (!WinHttpReadData(h, &r.body[old], available, &read)) return finish(TransportFailure(GetLastError()));
        r.body.resize(old + read);
        if (r.body.size() > (64u << 20)) return finish(TransportFailure(ERROR_WINHTTP_INVALID_SERVER_RESPONSE));
    }
    return finish(r);
}

HttpResponse WinHttpClient::Send(const HttpRequest& request) {
    const std::wstring url = Widen(request.url);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof parts;
    wchar_t host[256] = {}, path[4096] = {}, extra[1024] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = ARRAYSIZE(host);
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = ARRAYSIZE(path);
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = ARRAYSIZE(extra);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return TransportFailure(ERROR_WINHTTP_INVALID_URL);
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    HttpResponse failure;
    if (!Connect(host, parts.nPort, secure, &failure)) return failure;
    const std::wstring method = Widen(request.method);
    const std::wstring fullPath = std::wstring(path) + extra;
    if (secure && !pin_.empty() && !verified_) {
        // Whom the password goes to is settled before it is sent.
        const HttpResponse probe = Exchange(L"OPTIONS", fullPath, request, false, true);
        if (probe.error != TransportError::None) return probe;
        verified_ = true;
    }
    HttpResponse r = Exchange(method, fullPath, request, true, false);
    if (r.error == TransportError::Network && (r.detail == "WinHTTP error 10054" || r.detail == "WinHTTP error 12030" ||
                                               r.detail == "WinHTTP error 12152")) {
        // A connection the server had already closed (an idle keep-alive, or one it
        // closed while the request was still being sent): once more on a new one.
        // Every request is safe to repeat: reads, and writes made conditional.
        Close();
        if (!Connect(host, parts.nPort, secure, &failure)) return failure;
        if (secure && !pin_.empty() && !verified_) {
            const HttpResponse probe = Exchange(L"OPTIONS", fullPath, request, false, true);
            if (probe.error != TransportError::None) return probe;
            verified_ = true;
        }
        r = Exchange(method, fullPath, request, true, false);
    }
    return r;
}

}  // namespace pnsync
