#pragma once
// A certificate authority made at run time for TLS tests, and server certificates it signs.
// Everything is written as PEM files into a folder the caller owns (a TempFolder); a test
// points OpenSSL at caFile() through SSL_CERT_FILE. Keys are fresh EC P-256 keys, never
// stored anywhere else. Any OpenSSL failure throws std::runtime_error with its reason.

#include <memory>
#include <string>

namespace tw::testing {

enum class Validity { Current, Expired };  // Expired: notAfter a day in the past
enum class Issuer { Trusted, Untrusted };  // Untrusted: a second authority in no trust file

struct ServerFiles {
    std::string certFile;  // the server certificate, PEM
    std::string keyFile;   // its private key, PEM, unencrypted
};

class TestCa {
public:
    // Makes the authority and writes its certificate to <folder>/ca.pem.
    explicit TestCa(const std::string& folder);
    ~TestCa();
    TestCa(const TestCa&) = delete;
    TestCa& operator=(const TestCa&) = delete;

    const std::string& caFile() const { return m_caFile; }
    // A server certificate with subjectAltName entries for dnsName and ipAddress ("127.0.0.1"),
    // each left out when empty, written to <folder>/<stem>.pem and its key to <stem>.key.
    ServerFiles issue(const std::string& stem, const std::string& dnsName, const std::string& ipAddress,
                      Validity validity = Validity::Current, Issuer issuer = Issuer::Trusted);

private:
    struct Authority;
    std::string m_folder;
    std::string m_caFile;
    std::unique_ptr<Authority> m_trusted;
    std::unique_ptr<Authority> m_untrusted;  // made on first use
};

}  // namespace tw::testing
