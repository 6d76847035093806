// javax.microedition.io.HttpConnection: the HTTP request and response of a content connection, with
// the method names and status codes as class statics.
#pragma once

#include <cstdint>

#include "net/ContentConnection.h"

namespace javax::microedition::io {

class HttpConnection : public virtual ContentConnection {
    TESL_INTERFACE(HttpConnection, "javax.microedition.io.HttpConnection", ContentConnection)
public:
    // Made by HttpConnection_staticInit, null again after HttpConnection_staticDestroy.
    static constinit JavaPtr<::java::lang::String> GET;
    static constinit JavaPtr<::java::lang::String> HEAD;
    static constinit JavaPtr<::java::lang::String> POST;

    static constexpr int32_t HTTP_OK = 200;
    static constexpr int32_t HTTP_CREATED = 201;
    static constexpr int32_t HTTP_ACCEPTED = 202;
    static constexpr int32_t HTTP_NOT_AUTHORITATIVE = 203;
    static constexpr int32_t HTTP_NO_CONTENT = 204;
    static constexpr int32_t HTTP_RESET = 205;
    static constexpr int32_t HTTP_PARTIAL = 206;
    static constexpr int32_t HTTP_MULT_CHOICE = 300;
    static constexpr int32_t HTTP_MOVED_PERM = 301;
    static constexpr int32_t HTTP_MOVED_TEMP = 302;
    static constexpr int32_t HTTP_SEE_OTHER = 303;
    static constexpr int32_t HTTP_NOT_MODIFIED = 304;
    static constexpr int32_t HTTP_USE_PROXY = 305;
    static constexpr int32_t HTTP_TEMP_REDIRECT = 307;
    static constexpr int32_t HTTP_BAD_REQUEST = 400;
    static constexpr int32_t HTTP_UNAUTHORIZED = 401;
    static constexpr int32_t HTTP_PAYMENT_REQUIRED = 402;
    static constexpr int32_t HTTP_FORBIDDEN = 403;
    static constexpr int32_t HTTP_NOT_FOUND = 404;
    static constexpr int32_t HTTP_BAD_METHOD = 405;
    static constexpr int32_t HTTP_NOT_ACCEPTABLE = 406;
    static constexpr int32_t HTTP_PROXY_AUTH = 407;
    static constexpr int32_t HTTP_CLIENT_TIMEOUT = 408;
    static constexpr int32_t HTTP_CONFLICT = 409;
    static constexpr int32_t HTTP_GONE = 410;
    static constexpr int32_t HTTP_LENGTH_REQUIRED = 411;
    static constexpr int32_t HTTP_PRECON_FAILED = 412;
    static constexpr int32_t HTTP_ENTITY_TOO_LARGE = 413;
    static constexpr int32_t HTTP_REQ_TOO_LONG = 414;
    static constexpr int32_t HTTP_UNSUPPORTED_TYPE = 415;
    static constexpr int32_t HTTP_UNSUPPORTED_RANGE = 416;
    static constexpr int32_t HTTP_EXPECT_FAILED = 417;
    static constexpr int32_t HTTP_INTERNAL_ERROR = 500;
    static constexpr int32_t HTTP_NOT_IMPLEMENTED = 501;
    static constexpr int32_t HTTP_BAD_GATEWAY = 502;
    static constexpr int32_t HTTP_UNAVAILABLE = 503;
    static constexpr int32_t HTTP_GATEWAY_TIMEOUT = 504;
    static constexpr int32_t HTTP_VERSION = 505;

    ~HttpConnection() override = default;

    virtual long long getDate() = 0;
    virtual long long getExpiration() = 0;
    virtual JavaPtr<::java::lang::String> getFile() = 0;
    virtual JavaPtr<::java::lang::String> getHeaderField(int n) = 0;
    virtual JavaPtr<::java::lang::String> getHeaderField(const JavaPtr<::java::lang::String>& name) = 0;
    virtual long long getHeaderFieldDate(const JavaPtr<::java::lang::String>& name, long long def) = 0;
    virtual int getHeaderFieldInt(const JavaPtr<::java::lang::String>& name, int def) = 0;
    virtual JavaPtr<::java::lang::String> getHeaderFieldKey(int n) = 0;
    virtual JavaPtr<::java::lang::String> getHost() = 0;
    virtual long long getLastModified() = 0;
    virtual int getPort() = 0;
    virtual JavaPtr<::java::lang::String> getProtocol() = 0;
    virtual JavaPtr<::java::lang::String> getQuery() = 0;
    virtual JavaPtr<::java::lang::String> getRef() = 0;
    virtual JavaPtr<::java::lang::String> getRequestMethod() = 0;
    virtual JavaPtr<::java::lang::String> getRequestProperty(const JavaPtr<::java::lang::String>& key) = 0;
    virtual int getResponseCode() = 0;
    virtual JavaPtr<::java::lang::String> getResponseMessage() = 0;
    virtual JavaPtr<::java::lang::String> getURL() = 0;
    virtual void setRequestMethod(const JavaPtr<::java::lang::String>& method) = 0;
    virtual void setRequestProperty(const JavaPtr<::java::lang::String>& key,
                                    const JavaPtr<::java::lang::String>& value) = 0;
};

}  // namespace javax::microedition::io

// Make the method names and put the HTTP factory in the connector's HTTP place; the destroy hook
// empties the place and drops the names. Called by the shell's library hooks.
void HttpConnection_staticInit();
void HttpConnection_staticDestroy();
