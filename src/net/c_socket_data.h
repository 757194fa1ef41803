#pragma once
// The tagged values CSocket's GetData, PeekData and SendData carry, and their byte layouts:
// little-endian integers, IEEE 754 floats, currency as a 64-bit integer scaled by 10000,
// dates as a double serial, text and byte arrays as their bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tw {

// Type tags of the values.
enum VarType : std::int32_t {
    vbInteger = 2,
    vbLong = 3,
    vbSingle = 4,
    vbDouble = 5,
    vbCurrency = 6,
    vbDate = 7,
    vbString = 8,
    vbBoolean = 11,
    vbByte = 17,
    vbByteArray = 8209,  // array of bytes
};

struct Currency {
    std::int64_t scaled = 0;  // the amount times 10000
    bool operator==(const Currency&) const = default;
};

struct DateSerial {
    double serial = 0;  // days since 30 December 1899, time as the fraction
    bool operator==(const DateSerial&) const = default;
};

using ByteArray = std::vector<std::uint8_t>;

// std::monostate is the empty value a GetData leaves alone when there is nothing to take.
using SocketValue = std::variant<std::monostate, std::int16_t, std::int32_t, float, double, Currency,
                                 DateSerial, std::string, bool, std::uint8_t, ByteArray>;

// The type tag of a value; 0 for the empty value.
std::int32_t VarTypeOf(const SocketValue& value);

// The value of the wanted type made from the bytes taken; nothing for an unknown type. A
// number made from fewer bytes than it needs has the missing high bytes zero: nothing is
// read past the bytes taken.
std::optional<SocketValue> ValueFromBytes(std::string_view bytes, std::int32_t varType);

// The bytes sent for a value. Raises (source "CSocket.SendData") 5 for empty text or an empty
// array and 13 for the empty value.
std::string BytesFromValue(const SocketValue& value);

}  // namespace tw
