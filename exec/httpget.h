// An HTTP or HTTPS GET into an open file through WinHTTP, which is loaded
// on the first transfer only. The system's proxy settings are honoured:
// WinHTTP's automatic proxy where Windows has it (8.1 and later), else the
// proxy configured for WinHTTP and the user's own Internet settings (proxy
// auto-detection, a configuration script or a named proxy).
//
// Name resolution, the connection and a stalled transfer (no byte for
// stallSeconds) each have a time limit. An answer other than 200 fails with
// its status; a body shorter than its Content-Length (the connection closed
// early) fails as truncated. A failed WinHTTP call is named in the reason
// by its error's name.
//
// A proxy (407) or a server (401) that asks the user to sign in with
// Negotiate or NTLM is answered with the signed-in user's own credentials,
// as a browser of the domain would; one that asks for a user name and
// password (Basic, Digest) fails, saying so: the launcher has none to send.
#ifndef EXEC_HTTPGET_H
#define EXEC_HTTPGET_H

#include <windows.h>
#include <stddef.h>

struct HttpLimits {
    unsigned resolveSeconds;
    unsigned connectSeconds;
    unsigned stallSeconds;
};

class HttpReceiver {
public:
    // size bytes of the body arrived (and were written to the file); done of
    // total so far, total 0 while the server did not tell the length.
    virtual void received(const void* data, unsigned long size, unsigned long long done,
                          unsigned long long total) = 0;

protected:
    ~HttpReceiver() {}
};

enum { HttpReasonSize = 512 };

struct HttpGetResult {
    unsigned status;              // the server's HTTP status; 0 when none came
    unsigned long long bytes;     // of the body received
    unsigned long long total;     // its Content-Length; 0 when not told
    char reason[HttpReasonSize];  // why the transfer failed; empty on success
};

// A WinHTTP error (GetLastError after a WinHTTP call) by its name, such as
// "ERROR_WINHTTP_CANNOT_CONNECT (12029)", for the common ones; any other as
// "WinHTTP error <number>: <winhttp.dll's or the system's text>", or the
// number alone where neither knows it. out holds cap bytes (cut to fit).
void winHttpErrorText(unsigned long error, char* out, size_t cap);

// How a proxy's (407) or a server's (401) request to sign in is answered,
// from the schemes it offers (WINHTTP_AUTH_SCHEME_... bits): Negotiate, else
// NTLM, with the signed-in user's credentials. 0 when it offers neither;
// why then receives (cap bytes) what it asks for: "the proxy asks for a
// user name and password (Basic), which the launcher does not send".
unsigned long signInScheme(unsigned long offered, bool proxy, char* why, size_t cap);

// Fetches url (http:// or https://) and appends the body to file (open for
// writing). receiver may be null.
bool httpGet(const char* url, HANDLE file, const HttpLimits& limits, HttpReceiver* receiver,
             HttpGetResult& result);

#endif
