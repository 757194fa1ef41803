#include "platform/tls_session.h"

#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS  // SCH_CREDENTIALS and TLS_PARAMETERS
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <subauth.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>
#include <sspi.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#ifndef SECURITY_FLAG_IGNORE_CERT_CN_INVALID
#define SECURITY_FLAG_IGNORE_CERT_CN_INVALID 0x00001000  // wininet.h's, without the rest of it
#endif

namespace tw::platform {
namespace {

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

// The address bytes of an IP literal (4 or 16), or nothing for a name. Strict forms only,
// as on Linux: four decimal parts, or an IPv6 text.
std::string ipAddressBytes(const std::string& host) {
    const std::string text(host.c_str());  // the address ends at a NUL, as in C
    unsigned char bytes[16];
    if (inet_pton(AF_INET, text.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 4);
    if (text.find(':') != std::string::npos && inet_pton(AF_INET6, text.c_str(), bytes) == 1)
        return std::string(reinterpret_cast<char*>(bytes), 16);
    return {};
}

// Whether one of the certificate's subject alternative names is this IP address. Schannel's
// own check is left out for addresses: Wine never matches IP entries.
bool certificateHoldsAddress(PCCERT_CONTEXT cert, const std::string& address) {
    const CERT_INFO* info = cert->pCertInfo;
    const CERT_EXTENSION* extension = CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension);
    if (!extension) return false;
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                             extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size))
        return false;
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS &&
                std::string_view(reinterpret_cast<const char*>(entry.IPAddress.pbData), entry.IPAddress.cbData) ==
                    address;
    }
    LocalFree(names);
    return found;
}

std::string timeCaption(PCCERT_CONTEXT cert) {
    return CertVerifyTimeValidity(nullptr, cert->pCertInfo) < 0 ? "Certificate not valid yet" : "Certificate expired";
}

// The caption for a server certificate that does not pass, or nothing when it passes. The
// chain's own status is read as well as the policy's: with a partial chain Wine's policy
// check answers OK.
std::string verifyServer(PCCERT_CONTEXT cert, const std::string& host, const std::string& address) {
    const std::string untrusted = "Certificate not trusted for " + host;
    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {serverAuth};
    CERT_CHAIN_PARA para{};
    para.cbSize = sizeof para;
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, cert, nullptr, cert->hCertStore, &para, 0, nullptr, &chain))
        return untrusted;
    std::wstring serverName = address.empty() ? wide(host) : std::wstring();
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = address.empty() ? 0 : SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
    ssl.pwszServerName = address.empty() ? serverName.data() : nullptr;
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    const bool checked = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status);
    const DWORD chainErrors = chain->TrustStatus.dwErrorStatus;
    CertFreeCertificateChain(chain);

    if (chainErrors & CERT_TRUST_IS_NOT_TIME_VALID) return timeCaption(cert);
    if (!checked || chainErrors != CERT_TRUST_NO_ERROR) return untrusted;
    switch (static_cast<HRESULT>(status.dwError)) {
    case S_OK: break;
    case CERT_E_EXPIRED: return timeCaption(cert);
    case CERT_E_CN_NO_MATCH: return "Certificate not valid for " + host;
    default: return untrusted;
    }
    if (!address.empty() && !certificateHoldsAddress(cert, address)) return "Certificate not valid for " + host;
    return {};
}

SecBuffer buffer(unsigned long type, void* data = nullptr, std::size_t size = 0) {
    return SecBuffer{static_cast<unsigned long>(size), type, data};
}

}  // namespace

struct TlsClientContext::Impl {
    CredHandle credentials{};
    bool ready = false;
};

TlsClientContext::TlsClientContext() : m_impl(std::make_unique<Impl>()) {
    // The chain is verified by hand after the handshake: no switch turns that off, and Wine
    // checks nothing on its own.
    const DWORD flags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
    TLS_PARAMETERS parameters{};
    parameters.grbitDisabledProtocols = ~static_cast<DWORD>(SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT);
    SCH_CREDENTIALS modern{};
    modern.dwVersion = SCH_CREDENTIALS_VERSION;
    modern.dwFlags = flags;
    modern.cTlsParameters = 1;
    modern.pTlsParameters = &parameters;
    wchar_t package[] = UNISP_NAME_W;
    TimeStamp expiry;
    m_impl->ready = AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &modern, nullptr,
                                              nullptr, &m_impl->credentials, &expiry) == SEC_E_OK;
    if (m_impl->ready) return;
    // Before Windows 10 1809, and on Wine, only the older record is understood.
    SCHANNEL_CRED older{};
    older.dwVersion = SCHANNEL_CRED_VERSION;
    older.dwFlags = flags;
    older.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
    m_impl->ready = AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &older, nullptr,
                                              nullptr, &m_impl->credentials, &expiry) == SEC_E_OK;
}

TlsClientContext::~TlsClientContext() {
    if (m_impl->ready) FreeCredentialsHandle(&m_impl->credentials);
}

struct TlsSession::Impl {
    void handshake();
    void encryptPending();
    void decryptIncoming();
    void fail(bool duringHandshake, std::string caption = {});
    bool failed() const { return !failure.empty(); }

    std::shared_ptr<const TlsClientContext> context;
    std::string host;
    std::string address;  // the IP address's bytes when host is one
    CtxtHandle security{};
    bool haveSecurity = false;
    SecPkgContext_StreamSizes sizes{};
    std::string incoming;  // socket bytes not yet used
    std::string pendingPlain;
    std::string outgoing;
    std::string plain;
    bool established = false;
    bool closeNotify = false;
    bool askedForCredentials = false;
    std::string failure;
};

TlsSession::TlsSession(std::shared_ptr<const TlsClientContext> context, const std::string& host)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->context = std::move(context);
    m_impl->host = host;
    m_impl->address = ipAddressBytes(host);
    if (!m_impl->context || !m_impl->context->impl()->ready || host.empty() || host.find('\0') != std::string::npos)
        m_impl->fail(true);
    else
        m_impl->handshake();
}

TlsSession::~TlsSession() {
    if (m_impl->haveSecurity) DeleteSecurityContext(&m_impl->security);
}

void TlsSession::receive(std::string_view socketBytes) {
    if (failed() || socketBytes.empty()) return;
    m_impl->incoming.append(socketBytes);
    if (!m_impl->established) m_impl->handshake();
    else m_impl->decryptIncoming();
}

void TlsSession::send(std::string_view plain) {
    if (failed()) return;
    m_impl->pendingPlain.append(plain);
    if (m_impl->established) m_impl->encryptPending();
}

std::string TlsSession::takeOutgoing() { return std::exchange(m_impl->outgoing, {}); }

std::string TlsSession::takePlain() { return std::exchange(m_impl->plain, {}); }

bool TlsSession::established() const { return m_impl->established; }

bool TlsSession::closeNotifyReceived() const { return m_impl->closeNotify; }

bool TlsSession::failed() const { return m_impl->failed(); }

const std::string& TlsSession::failure() const { return m_impl->failure; }

// One or more steps of the handshake (or of a renegotiation the server asks for once
// established), as far as the bytes that arrived allow.
void TlsSession::Impl::handshake() {
    const DWORD wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                         ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
    // The server name goes out for names only: an address is no server name.
    std::wstring target = address.empty() ? wide(host) : std::wstring();
    for (;;) {
        if (haveSecurity && incoming.empty()) return;
        SecBuffer in[2] = {buffer(SECBUFFER_TOKEN, incoming.data(), incoming.size()), buffer(SECBUFFER_EMPTY)};
        SecBuffer out[1] = {buffer(SECBUFFER_TOKEN)};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
        ULONG attributes = 0;
        auto* credentials = const_cast<CredHandle*>(&context->impl()->credentials);
        const SECURITY_STATUS status = InitializeSecurityContextW(
            credentials, haveSecurity ? &security : nullptr, target.empty() ? nullptr : target.data(), wanted, 0, 0,
            haveSecurity ? &inDesc : nullptr, 0, &security, &outDesc, &attributes, nullptr);
        haveSecurity = true;
        if (status == SEC_E_INCOMPLETE_MESSAGE) return;  // the rest of the record is on its way
        if (out[0].pvBuffer) {
            if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)
                outgoing.append(static_cast<const char*>(out[0].pvBuffer), out[0].cbBuffer);
            FreeContextBuffer(out[0].pvBuffer);
        }
        // Asked for a client certificate, it goes on once without one.
        const bool anonymous = status == SEC_I_INCOMPLETE_CREDENTIALS && !askedForCredentials;
        askedForCredentials = askedForCredentials || anonymous;
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED && !anonymous) return fail(true);
        if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0) incoming.erase(0, incoming.size() - in[1].cbBuffer);
        else if (!anonymous) incoming.clear();
        if (status != SEC_E_OK) continue;  // another step, with what is left or when more arrives
        if (!established) {
            PCCERT_CONTEXT cert = nullptr;
            if (QueryContextAttributesW(&security, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &cert) != SEC_E_OK || !cert)
                return fail(true, "Certificate not trusted for " + host);
            const std::string caption = verifyServer(cert, host, address);
            CertFreeCertificateContext(cert);
            if (!caption.empty()) return fail(true, caption);
            if (QueryContextAttributesW(&security, SECPKG_ATTR_STREAM_SIZES, &sizes) != SEC_E_OK) return fail(true);
            established = true;
        }
        encryptPending();
        if (!failed()) decryptIncoming();
        return;
    }
}

void TlsSession::Impl::encryptPending() {
    while (!pendingPlain.empty()) {
        const std::size_t size = std::min<std::size_t>(pendingPlain.size(), sizes.cbMaximumMessage);
        std::string record(sizes.cbHeader + size + sizes.cbTrailer, '\0');
        record.replace(sizes.cbHeader, size, pendingPlain, 0, size);
        SecBuffer parts[4] = {buffer(SECBUFFER_STREAM_HEADER, record.data(), sizes.cbHeader),
                              buffer(SECBUFFER_DATA, record.data() + sizes.cbHeader, size),
                              buffer(SECBUFFER_STREAM_TRAILER, record.data() + sizes.cbHeader + size, sizes.cbTrailer),
                              buffer(SECBUFFER_EMPTY)};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, parts};
        if (EncryptMessage(&security, 0, &desc, 0) != SEC_E_OK) return fail(false);
        outgoing.append(record.data(), parts[0].cbBuffer + parts[1].cbBuffer + parts[2].cbBuffer);
        pendingPlain.erase(0, size);
    }
}

void TlsSession::Impl::decryptIncoming() {
    while (!incoming.empty() && !closeNotify && !failed()) {
        SecBuffer parts[4] = {buffer(SECBUFFER_DATA, incoming.data(), incoming.size()), buffer(SECBUFFER_EMPTY),
                              buffer(SECBUFFER_EMPTY), buffer(SECBUFFER_EMPTY)};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, parts};
        const SECURITY_STATUS status = DecryptMessage(&security, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) return;
        if (status == SEC_I_CONTEXT_EXPIRED) {
            closeNotify = true;
            return;
        }
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) return fail(false);
        std::string_view data, extra;
        for (const SecBuffer& part : parts) {
            if (part.BufferType == SECBUFFER_DATA) data = {static_cast<const char*>(part.pvBuffer), part.cbBuffer};
            if (part.BufferType == SECBUFFER_EXTRA) extra = {static_cast<const char*>(part.pvBuffer), part.cbBuffer};
        }
        // Wine answers close_notify with SEC_E_OK and nothing decrypted instead of
        // SEC_I_CONTEXT_EXPIRED.
        if (status == SEC_E_OK && data.empty() && extra.empty()) {
            closeNotify = true;
            incoming.clear();
            return;
        }
        plain.append(data);
        incoming = std::string(extra);
        // A post-handshake message (a TLS 1.3 ticket or key update) goes back through the
        // handshake with the bytes after it.
        if (status == SEC_I_RENEGOTIATE) return handshake();
    }
}

void TlsSession::Impl::fail(bool duringHandshake, std::string caption) {
    if (!caption.empty()) failure = std::move(caption);
    else if (duringHandshake) failure = "TLS handshake with " + host + " failed";
    else failure = "TLS connection with " + host + " failed";
    pendingPlain.clear();
    outgoing.clear();
    incoming.clear();
}

}  // namespace tw::platform
