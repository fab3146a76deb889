// The engine's HttpClient over WinHTTP: one session and one connection per
// server, kept for the whole run (keep-alive). HTTPS checks certificates as
// Windows does, or, with a pinned SHA-256, accepts exactly that certificate:
// it is checked on an unauthenticated request before the first one that
// carries the password, and on every answer.
#pragma once
#include <windows.h>
#include <winhttp.h>

#include <mutex>
#include <string>

#include "SyncEngine.h"

namespace pnsync {

class WinHttpClient : public HttpClient {
public:
    // pinnedSha256: hex of the certificate's SHA-256 (colons and case ignored), or "".
    explicit WinHttpClient(std::string pinnedSha256);
    ~WinHttpClient() override;
    WinHttpClient(const WinHttpClient&) = delete;
    WinHttpClient& operator=(const WinHttpClient&) = delete;

    HttpResponse Send(const HttpRequest& request) override;
    // From another thread: the request in flight ends at once as Cancelled.
    void Cancel();

    // The SHA-256 of the certificate the last HTTPS answer came with (hex, upper case).
    const std::string& LastCertificate() const { return lastCertificate_; }

private:
    bool Connect(const std::wstring& host, INTERNET_PORT port, bool secure, HttpResponse* failure);
    HttpResponse Exchange(const std::wstring& method, const std::wstring& path, const HttpRequest& request,
                          bool withBody, bool probe);
    bool CheckCertificate(HINTERNET request, HttpResponse* failure);
    void Close();

    std::string pin_;
    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    std::wstring host_;
    INTERNET_PORT port_ = 0;
    bool secure_ = false;
    bool verified_ = false;
    std::mutex lock_;
    HINTERNET inFlight_ = nullptr;
    volatile bool cancelled_ = false;
    std::string lastCertificate_;
};

}  // namespace pnsync
