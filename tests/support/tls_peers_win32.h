#pragma once
// The native TLS peers tls_peers.sh starts for the Windows tests (TW_TLS_PEERS names their
// folder), and its test authority put into the current user's Root store of the test prefix.

#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace tw::testing {

inline std::string tlsPeersFolder() {
    const char* folder = std::getenv("TW_TLS_PEERS");
    return folder ? std::string("Z:") + folder : std::string();  // a Linux path, seen through Wine's Z:
}

// kind ("good", "untrusted", ...) to port
inline std::map<std::string, int> tlsPeerPorts() {
    std::map<std::string, int> ports;
    std::ifstream lines(tlsPeersFolder() + "/peers");
    std::string kind;
    for (int port; lines >> kind >> port;) ports[kind] = port;
    return ports;
}

inline bool trustTlsTestAuthority() {
    std::ifstream file(tlsPeersFolder() + "/ca.der", std::ios::binary);
    const std::string der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!root || der.empty()) return false;
    const bool added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING,
                                                        reinterpret_cast<const BYTE*>(der.data()),
                                                        static_cast<DWORD>(der.size()),
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(root, 0);
    return added;
}

}  // namespace tw::testing
