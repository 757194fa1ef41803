#include "platform/tls_session.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <string_view>
#include <utility>

namespace tw::platform {
namespace {

// Four decimal parts of 0..255, no leading zeros, nothing else: the C library's strict form.
bool isDottedQuad(std::string_view text) {
    int parts = 0;
    int value = -1;  // the part read so far; -1 before its first digit
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            if (value == 0) return false;
            if (value < 0 && ++parts > 4) return false;
            value = (value < 0 ? 0 : value * 10) + (c - '0');
            if (value > 255) return false;
        } else if (c == '.' && value >= 0 && parts < 4) {
            value = -1;
        } else {
            return false;
        }
    }
    return parts == 4 && value >= 0;
}

bool isIpAddress(const std::string& host) {
    const std::string_view text(host.c_str());  // the address ends at a NUL, as in C
    if (isDottedQuad(text)) return true;
    if (text.find(':') == std::string_view::npos) return false;
    ASN1_OCTET_STRING* address = a2i_IPADDRESS(std::string(text).c_str());
    ASN1_OCTET_STRING_free(address);
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

TlsClientContext::TlsClientContext() {
    m_ctx = SSL_CTX_new(TLS_client_method());
    if (!m_ctx) return;
    SSL_CTX_set_min_proto_version(m_ctx, TLS1_2_VERSION);
    SSL_CTX_set_verify(m_ctx, SSL_VERIFY_PEER, nullptr);
    // Reads SSL_CERT_FILE / SSL_CERT_DIR when set, the system store otherwise. A store that
    // cannot be read leaves nothing trusted, and every handshake then fails visibly.
    SSL_CTX_set_default_verify_paths(m_ctx);
    // Idle connections give their record buffers back.
    SSL_CTX_set_mode(m_ctx, SSL_MODE_RELEASE_BUFFERS);
    ERR_clear_error();
}

TlsClientContext::~TlsClientContext() { SSL_CTX_free(m_ctx); }

TlsSession::TlsSession(std::shared_ptr<const TlsClientContext> context, const std::string& host)
    : m_context(std::move(context)), m_host(host) {
    ERR_clear_error();
    m_ssl = m_context && m_context->handle() ? SSL_new(m_context->handle()) : nullptr;
    BIO* in = m_ssl ? BIO_new(BIO_s_mem()) : nullptr;
    BIO* out = in ? BIO_new(BIO_s_mem()) : nullptr;
    if (!out) {
        BIO_free(in);
        fail(true);
        return;
    }
    // An empty input buffer means "wait for the socket", not the end of the stream.
    BIO_set_mem_eof_return(in, -1);
    SSL_set_bio(m_ssl, in, out);
    SSL_set_connect_state(m_ssl);
    X509_VERIFY_PARAM* param = SSL_get0_param(m_ssl);
    bool named;
    if (isIpAddress(host)) {
        named = X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) == 1;
    } else {
        X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        named = SSL_set_tlsext_host_name(m_ssl, host.c_str()) == 1 &&
                X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size()) == 1;
    }
    if (!named) {
        fail(true);
        return;
    }
    advance();
}

TlsSession::~TlsSession() { SSL_free(m_ssl); }

void TlsSession::receive(std::string_view socketBytes) {
    if (failed() || socketBytes.empty()) return;
    BIO_write(SSL_get_rbio(m_ssl), socketBytes.data(), static_cast<int>(socketBytes.size()));
    advance();
}

void TlsSession::send(std::string_view plain) {
    if (failed()) return;
    m_pendingPlain.append(plain);
    advance();
}

std::string TlsSession::takeOutgoing() { return std::exchange(m_outgoing, {}); }

std::string TlsSession::takePlain() { return std::exchange(m_plain, {}); }

void TlsSession::advance() {
    // OpenSSL's error queue is per thread: what an earlier call left must not be read as ours.
    ERR_clear_error();
    if (!m_established) {
        const int result = SSL_do_handshake(m_ssl);
        if (result != 1) {
            if (wouldWait(SSL_get_error(m_ssl, result))) collectOutgoing();
            else fail(true);
            return;
        }
        m_established = true;
    }
    if (!m_pendingPlain.empty()) {
        const int written = SSL_write(m_ssl, m_pendingPlain.data(), static_cast<int>(m_pendingPlain.size()));
        if (written <= 0 && !wouldWait(SSL_get_error(m_ssl, written))) return fail(false);
        if (written > 0) m_pendingPlain.erase(0, static_cast<std::size_t>(written));
    }
    char buffer[16384];
    while (!m_closeNotify) {
        const int got = SSL_read(m_ssl, buffer, sizeof buffer);
        if (got > 0) {
            m_plain.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        const int error = SSL_get_error(m_ssl, got);
        if (error == SSL_ERROR_ZERO_RETURN) m_closeNotify = true;
        else if (!wouldWait(error)) return fail(false);
        break;
    }
    collectOutgoing();
}

void TlsSession::collectOutgoing() {
    BIO* out = SSL_get_wbio(m_ssl);
    char* data = nullptr;
    const long size = BIO_get_mem_data(out, &data);
    if (size > 0) m_outgoing.append(data, static_cast<std::size_t>(size));
    BIO_reset(out);
}

void TlsSession::fail(bool duringHandshake) {
    const long verified = m_ssl ? SSL_get_verify_result(m_ssl) : X509_V_OK;
    if (verified != X509_V_OK) m_failure = verifyCaption(verified, m_host);
    else if (duringHandshake) m_failure = "TLS handshake with " + m_host + " failed";
    else m_failure = "TLS connection with " + m_host + " failed";
    m_pendingPlain.clear();
    m_outgoing.clear();
    ERR_clear_error();
}

}  // namespace tw::platform
