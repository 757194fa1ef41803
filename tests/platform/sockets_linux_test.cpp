#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/winsock.h"

namespace tw::platform {
namespace {

// Descriptor numbers and fcntl are POSIX's.
TEST(WinsockCalls, ForeignHandlesAndMissingStartUpAreRefused) {
    EXPECT_EQ(socket(kAfInet, kSockStream, kIpProtoTcp), kInvalidSocket);
    EXPECT_EQ(wsaGetLastError(), kWsaNotinitialised);
    WsaData data;
    EXPECT_EQ(wsaStartup(0x0001, data), kWsaVernotsupported);
    ASSERT_EQ(wsaStartup(0x0101, data), 0);
    EXPECT_GT(data.maxUdpDatagram, 0);
    // Descriptor 1 is standard output, not one of our sockets: it must survive a close.
    EXPECT_EQ(closesocket(1), kSocketError);
    EXPECT_EQ(wsaGetLastError(), kWsaEnotsock);
    EXPECT_NE(::fcntl(1, F_GETFD), -1);
    char byte;
    EXPECT_EQ(recv(1, &byte, 1, 0), kSocketError);
    EXPECT_EQ(wsaGetLastError(), kWsaEnotsock);
    const Socket s = socket(kAfInet, kSockStream, kIpProtoTcp);
    ASSERT_NE(s, kInvalidSocket);
    int type = 0;
    EXPECT_EQ(getsockopt(s, kSolSocket, kSoType, type), 0);
    EXPECT_EQ(type, kSockStream);
    EXPECT_EQ(getsockopt(s, kSolSocket, 12345, type), kSocketError);
    EXPECT_EQ(wsaGetLastError(), kWsaEnoprotoopt);
    EXPECT_EQ(send(s, "x", 1, 0), kSocketError);  // not connected; must not raise SIGPIPE
    EXPECT_EQ(closesocket(s), 0);
    EXPECT_EQ(closesocket(s), kSocketError);
    EXPECT_EQ(wsaCleanup(), 0);
}

}  // namespace
}  // namespace tw::platform
