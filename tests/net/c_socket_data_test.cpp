#include "net/c_socket_data.h"

#include <gtest/gtest.h>

#include "error_number.h"

namespace tw {
namespace {

TEST(SocketValueLayout, ShortInputNeverReadsPastTheBytesTaken) {
    // Built under AddressSanitizer, a read past the one byte would be caught here.
    EXPECT_EQ(*ValueFromBytes(std::string_view("\x7f", 1), vbLong), SocketValue(std::int32_t{0x7f}));
    EXPECT_EQ(ValueFromBytes(std::string_view("\x01\x02\x03", 3), vbDouble)->index(), 4u);
    EXPECT_EQ(*ValueFromBytes(std::string_view("\x01", 1), vbInteger), SocketValue(std::int16_t{1}));
}

TEST(SocketValueLayout, SentBytesReadBackAsTheSameValueAndEmptyOnesAreRefused) {
    const SocketValue values[] = {std::int16_t{-2}, std::int32_t{-123456}, 1.5f, -2.25, Currency{123456789},
                                  DateSerial{45000.5}, std::string("abc"), true, std::uint8_t{200},
                                  ByteArray{0, 255, 7}};
    for (const SocketValue& v : values) {
        const std::string bytes = BytesFromValue(v);
        EXPECT_EQ(*ValueFromBytes(bytes, VarTypeOf(v)), v) << "type " << VarTypeOf(v);
    }
    EXPECT_EQ(BytesFromValue(std::int32_t{0x04030201}), "\x01\x02\x03\x04");  // little-endian
    // Empty text or no value cannot be sent.
    EXPECT_EQ(testing::errorNumberOf([] { BytesFromValue(std::string()); }), 5);
    EXPECT_EQ(testing::errorNumberOf([] { BytesFromValue(ByteArray{}); }), 5);
    EXPECT_EQ(testing::errorNumberOf([] { BytesFromValue(std::monostate{}); }), 13);
}

}  // namespace
}  // namespace tw
