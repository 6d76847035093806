#include "shell/UrlRequest.h"

#include "platform/host/Host.h"

extern "C" bool _URLplatformRequest(const char* url) {
    if (url == nullptr || *url == '\0') return false;
    platform::Host* host = platform::currentHost();
    // The host's own answer: an opener that could not start is not reported as opened.
    return host != nullptr && host->openUrl(url);
}
