// The address of a log line: the authority's user information dropped.
#include "base/logaddress.h"

#include "base/strbuf.h"

#include <string.h>

void addressForLog(const char* url, char* out, size_t cap) {
    if (!out || cap == 0) return;
    out[0] = '\0';
    if (!url) return;
    const char* scheme = strstr(url, "://");
    // "://" after a path, a query or a fragment has begun is no scheme's.
    if (scheme && (size_t)(scheme - url) > strcspn(url, "/?#")) scheme = nullptr;
    const char* authority = scheme ? scheme + 3 : url;
    size_t length = strcspn(authority, "/?#");
    const char* at = nullptr;
    for (const char* c = authority; c < authority + length; ++c)
        if (*c == '@') at = c;
    if (!at) {
        copyText(out, cap, url);
        return;
    }
    copyTextN(out, cap, url, (size_t)(authority - url));
    appendText(out, cap, at + 1);
}
