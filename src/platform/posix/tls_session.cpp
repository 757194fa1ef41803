#include "platform/tls_session.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/opensslv.h>
#include <openssl/x509v3.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/shared_library.h"
#include "platform/winsock.h"

namespace tw::platform {
namespace {

// OpenSSL is opened with the first TLS context, so a run that never goes to an https address
// never loads it: its load-time relocations alone would keep about 1.7 MB resident.
#define TW_OPENSSL_FUNCTIONS(X)                                                                      \
    X(TLS_client_method) X(SSL_CTX_new) X(SSL_CTX_free) X(SSL_CTX_ctrl) X(SSL_CTX_set_verify)        \
    X(SSL_CTX_set_default_verify_paths) X(SSL_new) X(SSL_free) X(SSL_ctrl) X(SSL_set_bio)            \
    X(SSL_set_connect_state) X(SSL_get0_param) X(SSL_do_handshake) X(SSL_write) X(SSL_read)          \
    X(SSL_get_error) X(SSL_get_rbio) X(SSL_get_wbio) X(SSL_get_verify_result) X(BIO_new) X(BIO_free) \
    X(BIO_s_mem) X(BIO_ctrl) X(BIO_write) X(ERR_clear_error) X(X509_VERIFY_PARAM_set1_ip_asc)        \
    X(X509_VERIFY_PARAM_set_hostflags) X(X509_VERIFY_PARAM_set1_host) X(a2i_IPADDRESS)               \
    X(ASN1_OCTET_STRING_free)

struct OpenSsl {
#define TW_MEMBER(name) decltype(&::name) name = nullptr;
    TW_OPENSSL_FUNCTIONS(TW_MEMBER)
#undef TW_MEMBER
    bool complete = false;  // every function was found
};

const OpenSsl& ossl() {
    static const OpenSsl functions = [] {
        static const SharedLibrary library("libssl.so." + std::to_string(OPENSSL_VERSION_MAJOR));
        OpenSsl f;
        f.complete = true;
#define TW_LOAD(name)                                                        \
    f.name = reinterpret_cast<decltype(f.name)>(library.symbol(#name)); \
    f.complete = f.complete && f.name;
        TW_OPENSSL_FUNCTIONS(TW_LOAD)
#undef TW_LOAD
        return f;
    }();
    return functions;
}

void clearErrors() {
    if (ossl().complete) ossl().ERR_clear_error();
}

bool isIpAddress(const std::string& host) {
    const std::string_view text(host.c_str());  // the address ends at a NUL, as in C
    // inet_addr reads the strict four-part form; its "none" is also the broadcast address.
    if (inet_addr(std::string(text)) != kInaddrNone || text == "255.255.255.255") return true;
    if (text.find(':') == std::string_view::npos) return false;
    ASN1_OCTET_STRING* address = ossl().a2i_IPADDRESS(std::string(text).c_str());
    ossl().ASN1_OCTET_STRING_free(address);
    return address != nullptr;
}

bool wouldWait(int error) { return error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE; }

std::string verifyCaption(long result, const std::string& host) {
    switch (result) {
    case X509_V_ERR_CERT_HAS_EXPIRED: return "Certificate expired";
    case X509_V_ERR_CERT_NOT_YET_VALID: return "Certificate not valid yet";
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH: return "Certificate not valid for " + host;
    default: return "Certificate not trusted for " + host;
    }
}

}  // namespace

struct TlsClientContext::Impl {
    SSL_CTX* ctx = nullptr;
};

TlsClientContext::TlsClientContext() : m_impl(std::make_unique<Impl>()) {
    if (!ossl().complete) return;
    SSL_CTX*& ctx = m_impl->ctx;
    ctx = ossl().SSL_CTX_new(ossl().TLS_client_method());
    if (!ctx) return;
    ossl().SSL_CTX_ctrl(ctx, SSL_CTRL_SET_MIN_PROTO_VERSION, TLS1_2_VERSION, nullptr);
    ossl().SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    // Reads SSL_CERT_FILE / SSL_CERT_DIR when set, the system store otherwise. A store that
    // cannot be read leaves nothing trusted, and every handshake then fails visibly.
    ossl().SSL_CTX_set_default_verify_paths(ctx);
    // Idle connections give their record buffers back.
    ossl().SSL_CTX_ctrl(ctx, SSL_CTRL_MODE, SSL_MODE_RELEASE_BUFFERS, nullptr);
    clearErrors();
}

TlsClientContext::~TlsClientContext() {
    if (m_impl->ctx) ossl().SSL_CTX_free(m_impl->ctx);
}

struct TlsSession::Impl {
    void start(const std::string& host);
    void advance();
    void fail(bool duringHandshake);
    void collectOutgoing();
    bool failed() const { return !failure.empty(); }

    std::shared_ptr<const TlsClientContext> context;
    SSL* ssl = nullptr;
    std::string host;
    std::string pendingPlain;
    std::string outgoing;
    std::string plain;
    bool established = false;
    bool closeNotify = false;
    std::string failure;
};

TlsSession::TlsSession(std::shared_ptr<const TlsClientContext> context, const std::string& host)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->context = std::move(context);
    m_impl->host = host;
    m_impl->start(host);
}

void TlsSession::Impl::start(const std::string& host) {
    clearErrors();
    SSL_CTX* ctx = context && context->impl() ? context->impl()->ctx : nullptr;
    ssl = ctx ? ossl().SSL_new(ctx) : nullptr;
    BIO* in = ssl ? ossl().BIO_new(ossl().BIO_s_mem()) : nullptr;
    BIO* out = in ? ossl().BIO_new(ossl().BIO_s_mem()) : nullptr;
    if (!out) {
        if (in) ossl().BIO_free(in);
        fail(true);
        return;
    }
    // An empty input buffer means "wait for the socket", not the end of the stream.
    ossl().BIO_ctrl(in, BIO_C_SET_BUF_MEM_EOF_RETURN, -1, nullptr);
    ossl().SSL_set_bio(ssl, in, out);
    ossl().SSL_set_connect_state(ssl);
    X509_VERIFY_PARAM* param = ossl().SSL_get0_param(ssl);
    bool named;
    if (isIpAddress(host)) {
        named = ossl().X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) == 1;
    } else {
        ossl().X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        named = ossl().SSL_ctrl(ssl, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                                const_cast<char*>(host.c_str())) == 1 &&
                ossl().X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size()) == 1;
    }
    if (!named) {
        fail(true);
        return;
    }
    advance();
}

TlsSession::~TlsSession() {
    if (m_impl->ssl) ossl().SSL_free(m_impl->ssl);
}

void TlsSession::receive(std::string_view socketBytes) {
    if (failed() || socketBytes.empty()) return;
    ossl().BIO_write(ossl().SSL_get_rbio(m_impl->ssl), socketBytes.data(), static_cast<int>(socketBytes.size()));
    m_impl->advance();
}

void TlsSession::send(std::string_view plain) {
    if (failed()) return;
    m_impl->pendingPlain.append(plain);
    m_impl->advance();
}

std::string TlsSession::takeOutgoing() { return std::exchange(m_impl->outgoing, {}); }

std::string TlsSession::takePlain() { return std::exchange(m_impl->plain, {}); }

bool TlsSession::established() const { return m_impl->established; }

bool TlsSession::closeNotifyReceived() const { return m_impl->closeNotify; }

bool TlsSession::failed() const { return m_impl->failed(); }

const std::string& TlsSession::failure() const { return m_impl->failure; }

void TlsSession::Impl::advance() {
    // OpenSSL's error queue is per thread: what an earlier call left must not be read as ours.
    clearErrors();
    if (!established) {
        const int result = ossl().SSL_do_handshake(ssl);
        if (result != 1) {
            if (wouldWait(ossl().SSL_get_error(ssl, result))) collectOutgoing();
            else fail(true);
            return;
        }
        established = true;
    }
    if (!pendingPlain.empty()) {
        const int written = ossl().SSL_write(ssl, pendingPlain.data(), static_cast<int>(pendingPlain.size()));
        if (written <= 0 && !wouldWait(ossl().SSL_get_error(ssl, written))) return fail(false);
        if (written > 0) pendingPlain.erase(0, static_cast<std::size_t>(written));
    }
    char buffer[16384];
    while (!closeNotify) {
        const int got = ossl().SSL_read(ssl, buffer, sizeof buffer);
        if (got > 0) {
            plain.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        const int error = ossl().SSL_get_error(ssl, got);
        if (error == SSL_ERROR_ZERO_RETURN) closeNotify = true;
        else if (!wouldWait(error)) return fail(false);
        break;
    }
    collectOutgoing();
}

void TlsSession::Impl::collectOutgoing() {
    BIO* out = ossl().SSL_get_wbio(ssl);
    char* data = nullptr;
    const long size = ossl().BIO_ctrl(out, BIO_CTRL_INFO, 0, &data);
    if (size > 0) outgoing.append(data, static_cast<std::size_t>(size));
    ossl().BIO_ctrl(out, BIO_CTRL_RESET, 0, nullptr);
}

void TlsSession::Impl::fail(bool duringHandshake) {
    const long verified = ssl ? ossl().SSL_get_verify_result(ssl) : X509_V_OK;
    if (verified != X509_V_OK) failure = verifyCaption(verified, host);
    else if (duringHandshake) failure = "TLS handshake with " + host + " failed";
    else failure = "TLS connection with " + host + " failed";
    pendingPlain.clear();
    outgoing.clear();
    clearErrors();
}

}  // namespace tw::platform
