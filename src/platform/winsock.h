#pragma once
// The Windows Sockets calls the socket object uses, with Winsock semantics over POSIX
// sockets: Winsock constants in, Winsock results out (-1 for failure) and the reason in
// wsaGetLastError() as a Windows Sockets code. Only handles made by socket() or accept()
// here are sockets; any other number is refused with 10038 instead of touching a foreign
// file descriptor. Calls other than sendto/recv/send are made on the GUI thread.

#include <cstdint>
#include <optional>
#include <string>

namespace tw::platform {

using Socket = std::int32_t;

constexpr Socket kInvalidSocket = -1;
constexpr int kSocketError = -1;

// Address family, socket types, protocols.
constexpr int kAfInet = 2;
constexpr int kSockStream = 1;
constexpr int kSockDgram = 2;
constexpr int kIpProtoTcp = 6;
constexpr int kIpProtoUdp = 17;

// Socket options (level kSolSocket).
constexpr int kSolSocket = 65535;
constexpr int kSoBroadcast = 32;
constexpr int kSoRcvBuf = 4098;
constexpr int kSoType = 4104;

// shutdown() directions.
constexpr int kSdReceive = 0;
constexpr int kSdSend = 1;
constexpr int kSdBoth = 2;

constexpr std::uint32_t kInaddrNone = 0xFFFFFFFFu;
constexpr std::uint32_t kInaddrAny = 0;

// Windows Sockets error codes the layer produces.
enum WsaError : int {
    kWsaEintr = 10004,
    kWsaEacces = 10013,
    kWsaEfault = 10014,
    kWsaEinval = 10022,
    kWsaEmfile = 10024,
    kWsaEwouldblock = 10035,
    kWsaEinprogress = 10036,
    kWsaEalready = 10037,
    kWsaEnotsock = 10038,
    kWsaEdestaddrreq = 10039,
    kWsaEmsgsize = 10040,
    kWsaEprototype = 10041,
    kWsaEnoprotoopt = 10042,
    kWsaEprotonosupport = 10043,
    kWsaEsocktnosupport = 10044,
    kWsaEopnotsupp = 10045,
    kWsaEpfnosupport = 10046,
    kWsaEafnosupport = 10047,
    kWsaEaddrinuse = 10048,
    kWsaEaddrnotavail = 10049,
    kWsaEnetdown = 10050,
    kWsaEnetunreach = 10051,
    kWsaEnetreset = 10052,
    kWsaEconnaborted = 10053,
    kWsaEconnreset = 10054,
    kWsaEnobufs = 10055,
    kWsaEisconn = 10056,
    kWsaEnotconn = 10057,
    kWsaEshutdown = 10058,
    kWsaEtimedout = 10060,
    kWsaEconnrefused = 10061,
    kWsaEhostdown = 10064,
    kWsaEhostunreach = 10065,
    kWsaEproclim = 10067,
    kWsaSysnotready = 10091,
    kWsaVernotsupported = 10092,
    kWsaNotinitialised = 10093,
    kWsaEdiscon = 10101,
    kWsaSyscallfailure = 10107,
    kWsaHostNotFound = 11001,
    kWsaTryAgain = 11002,
    kWsaNoRecovery = 11003,
    kWsaNoData = 11004,
};

// The 16-byte IPv4 address record of the calls, fields in network byte order.
struct SockAddrIn {
    std::int16_t family = kAfInet;
    std::uint16_t port = 0;
    std::uint32_t address = 0;
    char zero[8] = {};
};

// What start-up reports.
struct WsaData {
    std::uint16_t version = 0;
    std::uint16_t highVersion = 0;
    std::uint16_t maxSockets = 0;
    std::uint16_t maxUdpDatagram = 0;
    std::string description;
};

// The one translation of an errno value into a Windows Sockets code.
int wsaErrorFromErrno(int err);

int wsaGetLastError();
void wsaSetLastError(int code);

// 0 on success, else a start-up error code (10092 for a version below 1.1). Start-up is
// counted: every success needs its clean-up.
int wsaStartup(std::uint16_t versionRequested, WsaData& data);
// -1 with 10093 when the layer was not started.
int wsaCleanup();
bool wsaStarted();

Socket socket(int family, int type, int protocol);
int closesocket(Socket s);
// On a socket under asynchronous selection a connect that has not finished gives -1 with
// 10035, as Winsock's non-blocking connect does.
int connect(Socket s, const SockAddrIn& address);
int bind(Socket s, const SockAddrIn& address);
int listen(Socket s, int backlog);
// The new socket's handle, or kInvalidSocket. `peer` may be null.
Socket accept(Socket s, SockAddrIn* peer);
int send(Socket s, const char* bytes, int length, int flags);
int sendto(Socket s, const char* bytes, int length, int flags, const SockAddrIn& to);
int recv(Socket s, char* bytes, int length, int flags);
int recvfrom(Socket s, char* bytes, int length, int flags, SockAddrIn* from);
int shutdown(Socket s, int how);
int getsockname(Socket s, SockAddrIn& address);
int getpeername(Socket s, SockAddrIn& address);
// Integer-valued options only (the ones listed above).
int getsockopt(Socket s, int level, int option, int& value);
int setsockopt(Socket s, int level, int option, int value);

// Dotted IPv4 text to an address in network order; kInaddrNone when it is not one.
std::uint32_t inet_addr(const std::string& dotted);
std::string inet_ntoa(std::uint32_t networkOrderAddress);
// htons / ntohs (named apart from the C library macros).
std::uint16_t wsaHtons(std::uint16_t value);
std::uint16_t wsaNtohs(std::uint16_t value);
// The host name registered for an address (network order), nothing when none is known.
// Looks only in the local hosts database and numeric forms, so it never waits on the network.
std::optional<std::string> gethostbyaddr(std::uint32_t networkOrderAddress);

// For the asynchronous selection: whether the handle is one of ours, and its POSIX descriptor.
bool isSocket(Socket s);

}  // namespace tw::platform
