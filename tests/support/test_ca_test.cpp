#include "test_ca.h"

#include <gtest/gtest.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <string>

#include "temp_folder.h"

namespace tw::testing {
namespace {

using Cert = std::unique_ptr<X509, decltype(&X509_free)>;

Cert readCertificate(const std::string& path) {
    std::unique_ptr<BIO, decltype(&BIO_free)> in(BIO_new_file(path.c_str(), "r"), BIO_free);
    return Cert(in ? PEM_read_bio_X509(in.get(), nullptr, nullptr, nullptr) : nullptr, X509_free);
}

// The verify error OpenSSL gives a certificate file against a store holding only caFile.
int verifyError(const std::string& caFile, const std::string& certFile) {
    std::unique_ptr<X509_STORE, decltype(&X509_STORE_free)> store(X509_STORE_new(), X509_STORE_free);
    std::unique_ptr<X509_STORE_CTX, decltype(&X509_STORE_CTX_free)> ctx(X509_STORE_CTX_new(), X509_STORE_CTX_free);
    const Cert cert = readCertificate(certFile);
    if (!cert || X509_STORE_load_file(store.get(), caFile.c_str()) != 1 ||
        X509_STORE_CTX_init(ctx.get(), store.get(), cert.get(), nullptr) != 1)
        return -1;
    X509_STORE_CTX_set_purpose(ctx.get(), X509_PURPOSE_SSL_SERVER);
    X509_verify_cert(ctx.get());
    return X509_STORE_CTX_get_error(ctx.get());
}

bool namesMatch(const std::string& certFile, const std::string& dns, const std::string& ip) {
    const Cert cert = readCertificate(certFile);
    return cert && (dns.empty() || X509_check_host(cert.get(), dns.data(), dns.size(), 0, nullptr) == 1) &&
           (ip.empty() || X509_check_ip_asc(cert.get(), ip.c_str(), 0) == 1);
}

TEST(TestCa, IssuedCertificatesVerifyOnlyWhereTheyShould) {
    TempFolder folder;
    TestCa ca(folder.path());
    const ServerFiles good = ca.issue("good", "herald.test", "127.0.0.1");
    const ServerFiles expired = ca.issue("expired", "herald.test", "", Validity::Expired);
    const ServerFiles stranger = ca.issue("stranger", "", "127.0.0.1", Validity::Current, Issuer::Untrusted);

    EXPECT_EQ(verifyError(ca.caFile(), good.certFile), X509_V_OK);
    EXPECT_EQ(verifyError(ca.caFile(), expired.certFile), X509_V_ERR_CERT_HAS_EXPIRED);
    EXPECT_EQ(verifyError(ca.caFile(), stranger.certFile), X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY);

    EXPECT_TRUE(namesMatch(good.certFile, "herald.test", "127.0.0.1"));
    EXPECT_FALSE(namesMatch(good.certFile, "other.test", ""));
    EXPECT_FALSE(namesMatch(good.certFile, "", "127.0.0.2"));
    EXPECT_FALSE(namesMatch(expired.certFile, "", "127.0.0.1"));
}

}  // namespace
}  // namespace tw::testing
