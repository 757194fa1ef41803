#include "test_ca.h"

#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace tw::testing {

namespace {

struct KeyFree { void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); } };
struct CertFree { void operator()(X509* p) const { X509_free(p); } };
struct BioFree { void operator()(BIO* p) const { BIO_free(p); } };
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using Cert = std::unique_ptr<X509, CertFree>;
using Bio = std::unique_ptr<BIO, BioFree>;

[[noreturn]] void fail(const std::string& step) {
    char reason[256] = "no OpenSSL reason";
    if (const unsigned long code = ERR_get_error()) ERR_error_string_n(code, reason, sizeof reason);
    ERR_clear_error();
    throw std::runtime_error("test CA: " + step + ": " + reason);
}

void check(int ok, const char* step) {
    if (ok <= 0) fail(step);
}

Key newKey() {
    Key key(EVP_EC_gen("P-256"));
    if (!key) fail("key generation");
    return key;
}

// Validity in seconds relative to now; a random serial so no two certificates share one.
Cert newCertificate(EVP_PKEY* subjectKey, const std::string& commonName, long fromSeconds, long toSeconds) {
    Cert cert(X509_new());
    if (!cert) fail("X509_new");
    check(X509_set_version(cert.get(), 2), "version");
    BIGNUM* serial = BN_new();
    const bool serialOk = serial && BN_rand(serial, 63, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) &&
                          BN_to_ASN1_INTEGER(serial, X509_get_serialNumber(cert.get()));
    BN_free(serial);
    check(serialOk, "serial");
    check(X509_gmtime_adj(X509_getm_notBefore(cert.get()), fromSeconds) != nullptr, "notBefore");
    check(X509_gmtime_adj(X509_getm_notAfter(cert.get()), toSeconds) != nullptr, "notAfter");
    X509_NAME* name = X509_get_subject_name(cert.get());
    check(X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                                     reinterpret_cast<const unsigned char*>("Towerwatch tests"), -1, -1, 0), "O");
    check(X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                     reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0), "CN");
    check(X509_set_pubkey(cert.get(), subjectKey), "public key");
    return cert;
}

void addExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_nconf_nid(nullptr, &ctx, nid, value.c_str());
    if (!ext) fail("extension " + value);
    const int ok = X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
    check(ok, "add extension");
}

void writeCertificate(X509* cert, const std::string& path) {
    Bio out(BIO_new_file(path.c_str(), "w"));
    if (!out) fail("open " + path);
    check(PEM_write_bio_X509(out.get(), cert), "write certificate");
}

void writeKey(EVP_PKEY* key, const std::string& path) {
    Bio out(BIO_new_file(path.c_str(), "w"));
    if (!out) fail("open " + path);
    check(PEM_write_bio_PrivateKey(out.get(), key, nullptr, nullptr, 0, nullptr, nullptr), "write key");
}

constexpr long kDay = 24 * 60 * 60;

}  // namespace

// A self-signed authority; only the trusted one has its certificate written to a file.
struct TestCa::Authority {
    Key key = newKey();
    Cert cert;

    explicit Authority(const char* commonName)
        : cert(newCertificate(key.get(), commonName, -kDay, 3650 * kDay)) {
        X509* ca = cert.get();
        check(X509_set_issuer_name(ca, X509_get_subject_name(ca)), "authority issuer");
        addExtension(ca, ca, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(ca, ca, NID_key_usage, "critical,keyCertSign,cRLSign");
        addExtension(ca, ca, NID_subject_key_identifier, "hash");
        check(X509_sign(ca, key.get(), EVP_sha256()), "sign authority");
    }
};

TestCa::TestCa(const std::string& folder)
    : m_folder(folder), m_caFile(folder + "/ca.pem"), m_trusted(std::make_unique<Authority>("Towerwatch test authority")) {
    writeCertificate(m_trusted->cert.get(), m_caFile);
}

TestCa::~TestCa() = default;

ServerFiles TestCa::issue(const std::string& stem, const std::string& dnsName, const std::string& ipAddress,
                          Validity validity, Issuer issuedBy) {
    const bool untrusted = issuedBy == Issuer::Untrusted;
    if (untrusted && !m_untrusted) m_untrusted = std::make_unique<Authority>("Towerwatch untrusted authority");
    const Authority& issuer = untrusted ? *m_untrusted : *m_trusted;

    Key key = newKey();
    const std::string commonName = !dnsName.empty() ? dnsName : ipAddress;
    Cert cert = validity == Validity::Expired ? newCertificate(key.get(), commonName, -30 * kDay, -kDay)
                                              : newCertificate(key.get(), commonName, -kDay, 30 * kDay);
    check(X509_set_issuer_name(cert.get(), X509_get_subject_name(issuer.cert.get())), "issuer name");

    std::string altNames;
    if (!dnsName.empty()) altNames = "DNS:" + dnsName;
    if (!ipAddress.empty()) altNames += (altNames.empty() ? "IP:" : ",IP:") + ipAddress;
    X509* c = cert.get();
    addExtension(c, issuer.cert.get(), NID_basic_constraints, "critical,CA:FALSE");
    addExtension(c, issuer.cert.get(), NID_key_usage, "critical,digitalSignature");
    addExtension(c, issuer.cert.get(), NID_ext_key_usage, "serverAuth");
    addExtension(c, issuer.cert.get(), NID_authority_key_identifier, "keyid:always");
    if (!altNames.empty()) addExtension(c, issuer.cert.get(), NID_subject_alt_name, altNames);
    check(X509_sign(c, issuer.key.get(), EVP_sha256()), "sign server certificate");

    ServerFiles files{m_folder + "/" + stem + ".pem", m_folder + "/" + stem + ".key"};
    writeCertificate(c, files.certFile);
    writeKey(key.get(), files.keyFile);
    return files;
}

}  // namespace tw::testing
