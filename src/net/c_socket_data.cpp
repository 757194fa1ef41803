#include "net/c_socket_data.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "runtime/runtime_error.h"

namespace tw {
namespace {

static_assert(std::endian::native == std::endian::little, "wire values are laid out little-endian");

// Copies at most sizeof(T) of the bytes; bytes that were not taken stay zero.
template <class T>
T fromLeadingBytes(std::string_view bytes) {
    unsigned char raw[sizeof(T)] = {};
    std::memcpy(raw, bytes.data(), std::min(bytes.size(), sizeof(T)));
    T value;
    std::memcpy(&value, raw, sizeof(T));
    return value;
}

template <class T>
std::string toBytes(T value) {
    std::string out(sizeof(T), '\0');
    std::memcpy(out.data(), &value, sizeof(T));
    return out;
}

}  // namespace

std::int32_t VarTypeOf(const SocketValue& value) {
    static constexpr std::int32_t kTags[] = {0,      vbInteger, vbLong,    vbSingle, vbDouble,   vbCurrency,
                                             vbDate, vbString,  vbBoolean, vbByte,   vbByteArray};
    return kTags[value.index()];
}

std::optional<SocketValue> ValueFromBytes(std::string_view bytes, std::int32_t varType) {
    switch (varType) {
    case vbString: return SocketValue(std::string(bytes));
    case vbByteArray: return SocketValue(ByteArray(bytes.begin(), bytes.end()));
    case vbByte: return SocketValue(fromLeadingBytes<std::uint8_t>(bytes));
    case vbInteger: return SocketValue(fromLeadingBytes<std::int16_t>(bytes));
    case vbBoolean: return SocketValue(fromLeadingBytes<std::int16_t>(bytes) != 0);
    case vbLong: return SocketValue(fromLeadingBytes<std::int32_t>(bytes));
    case vbSingle: return SocketValue(fromLeadingBytes<float>(bytes));
    case vbDouble: return SocketValue(fromLeadingBytes<double>(bytes));
    case vbCurrency: return SocketValue(Currency{fromLeadingBytes<std::int64_t>(bytes)});
    case vbDate: return SocketValue(DateSerial{fromLeadingBytes<double>(bytes)});
    default: return std::nullopt;
    }
}

std::string BytesFromValue(const SocketValue& value) {
    const char* const source = "CSocket.SendData";
    switch (value.index()) {
    case 1: return toBytes(std::get<std::int16_t>(value));
    case 2: return toBytes(std::get<std::int32_t>(value));
    case 3: return toBytes(std::get<float>(value));
    case 4: return toBytes(std::get<double>(value));
    case 5: return toBytes(std::get<Currency>(value).scaled);
    case 6: return toBytes(std::get<DateSerial>(value).serial);
    case 7: {
        const std::string& text = std::get<std::string>(value);
        if (text.empty()) throw RuntimeError(kErrInvalidArgument, errorDescription(kErrInvalidArgument), source);
        return text;
    }
    case 8: return toBytes<std::int16_t>(std::get<bool>(value) ? -1 : 0);  // true is two bytes of 255
    case 9: return std::string(1, static_cast<char>(std::get<std::uint8_t>(value)));
    case 10: {
        const ByteArray& array = std::get<ByteArray>(value);
        if (array.empty()) throw RuntimeError(kErrInvalidArgument, errorDescription(kErrInvalidArgument), source);
        return std::string(array.begin(), array.end());
    }
    default: throw RuntimeError(kErrTypeMismatch, errorDescription(kErrTypeMismatch), source);
    }
}

}  // namespace tw
