#include "exec/httpget.h"

#include "base/codepage.h"
#include "base/scopedbuffer.h"
#include "base/strbuf.h"
#include "base/winerror.h"
#include "base/sysdll.h"

#include <winhttp.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#ifndef WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY
#define WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY 4
#endif

namespace {

typedef HINTERNET(WINAPI* OpenFn)(LPCWSTR, DWORD, LPCWSTR, LPCWSTR, DWORD);
typedef BOOL(WINAPI* CrackUrlFn)(LPCWSTR, DWORD, DWORD, LPURL_COMPONENTS);
typedef HINTERNET(WINAPI* ConnectFn)(HINTERNET, LPCWSTR, INTERNET_PORT, DWORD);
typedef HINTERNET(WINAPI* OpenRequestFn)(HINTERNET, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR*,
                                         DWORD);
typedef BOOL(WINAPI* SetTimeoutsFn)(HINTERNET, int, int, int, int);
typedef BOOL(WINAPI* SetOptionFn)(HINTERNET, DWORD, LPVOID, DWORD);
typedef BOOL(WINAPI* SendRequestFn)(HINTERNET, LPCWSTR, DWORD, LPVOID, DWORD, DWORD, DWORD_PTR);
typedef BOOL(WINAPI* ReceiveResponseFn)(HINTERNET, LPVOID);
typedef BOOL(WINAPI* QueryHeadersFn)(HINTERNET, DWORD, LPCWSTR, LPVOID, LPDWORD, LPDWORD);
typedef BOOL(WINAPI* QueryDataAvailableFn)(HINTERNET, LPDWORD);
typedef BOOL(WINAPI* ReadDataFn)(HINTERNET, LPVOID, DWORD, LPDWORD);
typedef BOOL(WINAPI* CloseHandleFn)(HINTERNET);
typedef BOOL(WINAPI* GetIEProxyConfigFn)(WINHTTP_CURRENT_USER_IE_PROXY_CONFIG*);
typedef BOOL(WINAPI* GetProxyForUrlFn)(HINTERNET, LPCWSTR, WINHTTP_AUTOPROXY_OPTIONS*,
                                       WINHTTP_PROXY_INFO*);
typedef BOOL(WINAPI* QueryAuthSchemesFn)(HINTERNET, LPDWORD, LPDWORD, LPDWORD);
typedef BOOL(WINAPI* SetCredentialsFn)(HINTERNET, DWORD, DWORD, LPCWSTR, LPCWSTR, LPVOID);

struct WinHttp {
    bool loaded;
    OpenFn open;
    CrackUrlFn crackUrl;
    ConnectFn connect;
    OpenRequestFn openRequest;
    SetTimeoutsFn setTimeouts;
    SetOptionFn setOption;
    SendRequestFn sendRequest;
    ReceiveResponseFn receiveResponse;
    QueryHeadersFn queryHeaders;
    QueryDataAvailableFn queryDataAvailable;
    ReadDataFn readData;
    CloseHandleFn closeHandle;
    QueryAuthSchemesFn queryAuthSchemes;
    SetCredentialsFn setCredentials;
    GetIEProxyConfigFn getIEProxyConfig;  // these two may be missing
    GetProxyForUrlFn getProxyForUrl;
};

const WinHttp* winHttp() {
    static WinHttp f;
    if (!f.loaded) {
        f.loaded = true;
        HMODULE dll = loadSystemDll("winhttp.dll");
        if (!dll) return nullptr;
#define LOOKUP(field, name) f.field = (decltype(f.field))(void*)GetProcAddress(dll, name)
        LOOKUP(open, "WinHttpOpen");
        LOOKUP(crackUrl, "WinHttpCrackUrl");
        LOOKUP(connect, "WinHttpConnect");
        LOOKUP(openRequest, "WinHttpOpenRequest");
        LOOKUP(setTimeouts, "WinHttpSetTimeouts");
        LOOKUP(setOption, "WinHttpSetOption");
        LOOKUP(sendRequest, "WinHttpSendRequest");
        LOOKUP(receiveResponse, "WinHttpReceiveResponse");
        LOOKUP(queryHeaders, "WinHttpQueryHeaders");
        LOOKUP(queryDataAvailable, "WinHttpQueryDataAvailable");
        LOOKUP(readData, "WinHttpReadData");
        LOOKUP(closeHandle, "WinHttpCloseHandle");
        LOOKUP(queryAuthSchemes, "WinHttpQueryAuthSchemes");
        LOOKUP(setCredentials, "WinHttpSetCredentials");
        LOOKUP(getIEProxyConfig, "WinHttpGetIEProxyConfigForCurrentUser");
        LOOKUP(getProxyForUrl, "WinHttpGetProxyForUrl");
#undef LOOKUP
    }
    if (!f.open || !f.crackUrl || !f.connect || !f.openRequest || !f.setTimeouts || !f.setOption ||
        !f.sendRequest || !f.receiveResponse || !f.queryHeaders || !f.queryDataAvailable ||
        !f.readData || !f.closeHandle || !f.queryAuthSchemes || !f.setCredentials)
        return nullptr;
    return &f;
}

// The handles of one transfer, closed in reverse order.
struct Transfer {
    const WinHttp* f;
    HINTERNET session, connection, request;
    wchar_t* url;
    wchar_t* host;
    ~Transfer() {
        if (request) f->closeHandle(request);
        if (connection) f->closeHandle(connection);
        if (session) f->closeHandle(session);
        free(host);
        free(url);
    }
};

bool fail(HttpGetResult& result, const char* format, ...) __attribute__((format(printf, 2, 3)));
bool fail(HttpGetResult& result, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(result.reason, sizeof result.reason, format, args);
    result.reason[sizeof result.reason - 1] = '\0';
    va_end(args);
    return false;
}

// The failure of a WinHTTP call, in words for the common cases, and the
// error by its name.
bool failCall(HttpGetResult& result, const char* what) {
    DWORD error = GetLastError();
    const char* words = "";
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT: words = "timed out, "; break;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: words = "server name not resolved, "; break;
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case WSAECONNREFUSED: words = "server cannot be reached, "; break;
    case ERROR_WINHTTP_CONNECTION_ERROR: words = "connection broken, "; break;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED: words = "secure connection refused, "; break;
    }
    char name[300];
    winHttpErrorText(error, name, sizeof name);
    return fail(result, "%s: %s%s", what, words, name);
}

// Where the system's automatic proxy is not offered: the user's Internet
// settings, a configuration script or auto-detection first, else the proxy
// they name. The WinHTTP-wide proxy of the session applies otherwise.
void useUserProxy(Transfer& t) {
    const WinHttp* f = t.f;
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user;
    memset(&user, 0, sizeof user);
    if (!f->getIEProxyConfig || !f->getIEProxyConfig(&user)) return;
    bool set = false;
    if ((user.fAutoDetect || user.lpszAutoConfigUrl) && f->getProxyForUrl) {
        WINHTTP_AUTOPROXY_OPTIONS options;
        memset(&options, 0, sizeof options);
        options.dwFlags =
            user.lpszAutoConfigUrl ? WINHTTP_AUTOPROXY_CONFIG_URL : WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
        options.lpszAutoConfigUrl = user.lpszAutoConfigUrl;
        options.fAutoLogonIfChallenged = TRUE;
        WINHTTP_PROXY_INFO found;
        memset(&found, 0, sizeof found);
        if (f->getProxyForUrl(t.session, t.url, &options, &found)) {
            set = f->setOption(t.request, WINHTTP_OPTION_PROXY, &found, sizeof found) != 0;
            if (found.lpszProxy) GlobalFree(found.lpszProxy);
            if (found.lpszProxyBypass) GlobalFree(found.lpszProxyBypass);
        }
    }
    if (!set && user.lpszProxy) {
        WINHTTP_PROXY_INFO named = {WINHTTP_ACCESS_TYPE_NAMED_PROXY, user.lpszProxy,
                                    user.lpszProxyBypass};
        f->setOption(t.request, WINHTTP_OPTION_PROXY, &named, sizeof named);
    }
    if (user.lpszAutoConfigUrl) GlobalFree(user.lpszAutoConfigUrl);
    if (user.lpszProxy) GlobalFree(user.lpszProxy);
    if (user.lpszProxyBypass) GlobalFree(user.lpszProxyBypass);
}

// Sends the request and takes the answer's status, signing in where a
// proxy or the server asks for it (a proxy and then the server each once,
// and a round to spare).
enum { SignInRounds = 3 };

bool sendSigningIn(Transfer& t, HttpGetResult& result) {
    const WinHttp* f = t.f;
    // The signed-in user's credentials go to any proxy or server that asks
    // for Negotiate or NTLM, not only to those of the intranet.
    DWORD policy = WINHTTP_AUTOLOGON_SECURITY_LEVEL_LOW;
    f->setOption(t.request, WINHTTP_OPTION_AUTOLOGON_POLICY, &policy, sizeof policy);
    unsigned long answered = 0;
    for (int round = 0;; ++round) {
        if (!f->sendRequest(t.request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                            0, 0, 0) ||
            !f->receiveResponse(t.request, nullptr))
            return failCall(result, "no answer");
        DWORD status = 0, size = sizeof status;
        if (!f->queryHeaders(t.request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX))
            return failCall(result, "no status in the answer");
        result.status = status;
        if (status != HTTP_STATUS_PROXY_AUTH_REQ && status != HTTP_STATUS_DENIED) return true;
        const bool proxy = status == HTTP_STATUS_PROXY_AUTH_REQ;
        const char* who = proxy ? "the proxy" : "the server";
        if (round + 1 >= SignInRounds)
            return fail(result, "%s refused the signed-in user's credentials (%s, HTTP status %lu)",
                        who, answered == WINHTTP_AUTH_SCHEME_NEGOTIATE ? "Negotiate" : "NTLM",
                        status);
        DWORD offered = 0, first = 0, target = 0;
        if (!f->queryAuthSchemes(t.request, &offered, &first, &target))
            return fail(result, "%s asks to sign in (HTTP status %lu) without naming how", who,
                        status);
        answered = signInScheme(offered, proxy, result.reason, sizeof result.reason);
        if (!answered) return false;
        if (!f->setCredentials(t.request, target, answered, nullptr, nullptr, nullptr))
            return failCall(result, proxy ? "cannot sign in to the proxy"
                                          : "cannot sign in to the server");
    }
}

}  // namespace

unsigned long signInScheme(unsigned long offered, bool proxy, char* why, size_t cap) {
    if (offered & WINHTTP_AUTH_SCHEME_NEGOTIATE) return WINHTTP_AUTH_SCHEME_NEGOTIATE;
    if (offered & WINHTTP_AUTH_SCHEME_NTLM) return WINHTTP_AUTH_SCHEME_NTLM;
    static const struct {
        unsigned long scheme;
        const char* name;
    } Schemes[] = {{WINHTTP_AUTH_SCHEME_BASIC, "Basic"},
                   {WINHTTP_AUTH_SCHEME_DIGEST, "Digest"},
                   {WINHTTP_AUTH_SCHEME_PASSPORT, "Passport"}};
    char names[40] = "";
    for (const auto& known : Schemes)
        if (offered & known.scheme) {
            if (names[0]) appendText(names, ", ");
            appendText(names, known.name);
        }
    const char* who = proxy ? "the proxy" : "the server";
    if (offered & (WINHTTP_AUTH_SCHEME_BASIC | WINHTTP_AUTH_SCHEME_DIGEST))
        formatText(why, cap, "%s asks for a user name and password (%s), which the launcher "
                   "does not send", who, names);
    else
        formatText(why, cap, "%s asks to sign in by a way the launcher does not answer (%s)", who,
                   names[0] ? names : "none named");
    return 0;
}

void winHttpErrorText(unsigned long error, char* out, size_t cap) {
#define NAMED(code) {code, #code}
    static const struct {
        unsigned long code;
        const char* name;
    } Names[] = {
        NAMED(ERROR_WINHTTP_OUT_OF_HANDLES),
        NAMED(ERROR_WINHTTP_TIMEOUT),
        NAMED(ERROR_WINHTTP_INTERNAL_ERROR),
        NAMED(ERROR_WINHTTP_INVALID_URL),
        NAMED(ERROR_WINHTTP_UNRECOGNIZED_SCHEME),
        NAMED(ERROR_WINHTTP_NAME_NOT_RESOLVED),
        NAMED(ERROR_WINHTTP_LOGIN_FAILURE),
        NAMED(ERROR_WINHTTP_OPERATION_CANCELLED),
        NAMED(ERROR_WINHTTP_INCORRECT_HANDLE_STATE),
        NAMED(ERROR_WINHTTP_CANNOT_CONNECT),
        NAMED(ERROR_WINHTTP_CONNECTION_ERROR),
        NAMED(ERROR_WINHTTP_RESEND_REQUEST),
        NAMED(ERROR_WINHTTP_SECURE_CERT_DATE_INVALID),
        NAMED(ERROR_WINHTTP_SECURE_CERT_CN_INVALID),
        NAMED(ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED),
        NAMED(ERROR_WINHTTP_SECURE_INVALID_CA),
        NAMED(ERROR_WINHTTP_SECURE_CERT_REV_FAILED),
        NAMED(ERROR_WINHTTP_HEADER_NOT_FOUND),
        NAMED(ERROR_WINHTTP_INVALID_SERVER_RESPONSE),
        NAMED(ERROR_WINHTTP_REDIRECT_FAILED),
        NAMED(ERROR_WINHTTP_SECURE_CHANNEL_ERROR),
        NAMED(ERROR_WINHTTP_BAD_AUTO_PROXY_SCRIPT),
        NAMED(ERROR_WINHTTP_UNABLE_TO_DOWNLOAD_SCRIPT),
        NAMED(ERROR_WINHTTP_SECURE_INVALID_CERT),
        NAMED(ERROR_WINHTTP_SECURE_CERT_REVOKED),
        NAMED(ERROR_WINHTTP_SECURE_FAILURE),
        NAMED(ERROR_WINHTTP_AUTO_PROXY_SERVICE_ERROR),
        NAMED(ERROR_WINHTTP_AUTODETECTION_FAILED),
        NAMED(WSAETIMEDOUT),
        NAMED(WSAECONNREFUSED),
    };
#undef NAMED
    for (const auto& known : Names)
        if (known.code == error) {
            formatText(out, cap, "%s (%lu)", known.name, error);
            return;
        }
    // Any other: winhttp.dll's own text for it, else the system's.
    char text[256];
    if (windowsMessage(error, text, sizeof text, GetModuleHandleA("winhttp.dll")))
        formatText(out, cap, "WinHTTP error %lu: %s", error, text);
    else formatText(out, cap, "WinHTTP error %lu", error);
}

bool httpGet(const char* url, HANDLE file, const HttpLimits& limits, HttpReceiver* receiver,
             HttpGetResult& result) {
    result.status = 0;
    result.bytes = result.total = 0;
    result.reason[0] = '\0';
    Transfer t = {winHttp(), nullptr, nullptr, nullptr, widen(url, CP_ACP), nullptr};
    if (!t.f) return fail(result, "WinHTTP is not available");
    if (!t.url) return fail(result, "out of memory");

    URL_COMPONENTS parts;
    memset(&parts, 0, sizeof parts);
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = (DWORD)-1;
    if (!t.f->crackUrl(t.url, 0, 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
        parts.dwHostNameLength == 0)
        return fail(result, "not an http or https address");
    t.host = (wchar_t*)calloc(parts.dwHostNameLength + 1, sizeof(wchar_t));
    if (!t.host) return fail(result, "out of memory");
    memcpy(t.host, parts.lpszHostName, parts.dwHostNameLength * sizeof(wchar_t));
    // The path runs on with the query; a fragment is never sent.
    const wchar_t* path = parts.dwUrlPathLength ? parts.lpszUrlPath : L"/";
    wchar_t* fragment = wcschr(t.url, L'#');
    if (fragment) *fragment = L'\0';

    bool automatic = true;
    t.session = t.f->open(L"Mozilla/5.0 (Windows) launcher", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                          WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!t.session) {
        automatic = false;
        t.session = t.f->open(L"Mozilla/5.0 (Windows) launcher", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                              WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    }
    if (!t.session) return failCall(result, "no WinHTTP session");
    const int stall = (int)limits.stallSeconds * 1000;
    t.f->setTimeouts(t.session, (int)limits.resolveSeconds * 1000,
                     (int)limits.connectSeconds * 1000, stall, stall);
    t.connection = t.f->connect(t.session, t.host, parts.nPort, 0);
    if (!t.connection) return failCall(result, "cannot connect");
    t.request = t.f->openRequest(t.connection, L"GET", path, nullptr, WINHTTP_NO_REFERER,
                                 WINHTTP_DEFAULT_ACCEPT_TYPES,
                                 parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    if (!t.request) return failCall(result, "cannot make the request");
    if (!automatic) useUserProxy(t);
    if (!sendSigningIn(t, result)) return false;
    if (result.status != 200)
        return fail(result, "the server answered HTTP status %u", result.status);
    wchar_t length[32];
    DWORD size = sizeof length;
    if (t.f->queryHeaders(t.request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                          length, &size, WINHTTP_NO_HEADER_INDEX))
        result.total = wcstoull(length, nullptr, 10);

    const DWORD BufferSize = 64 * 1024;
    ScopedBuffer<unsigned char> buffer(ScopedBuffer<unsigned char>::allocate(BufferSize));
    if (!buffer) return fail(result, "out of memory");
    bool ok = true;
    for (;;) {
        DWORD available = 0, got = 0;
        if (!t.f->queryDataAvailable(t.request, &available)) {
            ok = failCall(result, "transfer stopped");
            break;
        }
        if (available == 0) break;
        if (!t.f->readData(t.request, buffer, available < BufferSize ? available : BufferSize,
                           &got)) {
            ok = failCall(result, "transfer stopped");
            break;
        }
        if (got == 0) break;
        DWORD written = 0;
        if (!WriteFile(file, buffer, got, &written, nullptr) || written != got) {
            ok = fail(result, "cannot write the downloaded file (error %lu)", GetLastError());
            break;
        }
        result.bytes += got;
        if (receiver) receiver->received(buffer, got, result.bytes, result.total);
    }
    if (!ok && result.bytes > 0) {
        char got[80];
        formatText(got, sizeof got, " after %llu of %llu bytes", result.bytes, result.total);
        appendText(result.reason, got);
    } else if (ok && result.total && result.bytes < result.total) {
        ok = fail(result, "truncated: got %llu of %llu bytes", result.bytes, result.total);
    }
    return ok;
}
