#include "herald/realm_vocabulary.h"

#include <cmath>
#include <limits>

#include "runtime/conversions.h"
#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tw {

ColorValue RealmColor(const std::string& Realm) {
    const std::string realm = lowerCase(Realm);
    if (realm == "midgard") return RGB(0, 0, 128);
    if (realm == "albion") return RGB(128, 0, 0);
    if (realm == "hibernia") return RGB(0, 128, 0);
    return 0;
}

RealmPicture RealmImage(const std::string& Realm) {
    const std::string realm = lowerCase(Realm);
    if (realm == "midgard") return RealmPicture::Hammer;
    if (realm == "albion") return RealmPicture::Cup;
    if (realm == "hibernia") return RealmPicture::Tree;
    return RealmPicture::None;
}

std::string ReturnRealm(std::int16_t Index) {
    switch (Index) {
    case 1: return "Midgard";
    case 2: return "Albion";
    case 3: return "Hibernia";
    default: return {};
    }
}

std::int16_t ReturnTime(std::int16_t Index) {
    switch (Index) {
    case 0: return 15;
    case 1: return 30;
    case 2: return 60;
    default: return 0;
    }
}

double FromHex(const std::string& Hex) {
    // The digit count is a 16-bit number, so longer texts overflow before any digit is read.
    if (Hex.size() > static_cast<size_t>(std::numeric_limits<std::int16_t>::max()))
        throw RuntimeError(kErrOverflow);
    const auto N = static_cast<long long>(Hex.size());
    double result = 0;
    double place = 1;  // 16^i
    for (long long i = 0; i < N; ++i) {
        const std::int16_t D = ReturnHexChar(mid(Hex, N - i, 1));
        result += std::floor(D * place);
        // A place beyond a double is an overflow even when its digit is 0.
        if (!std::isfinite(result) || !std::isfinite(place)) throw RuntimeError(kErrOverflow);
        place *= 16;
    }
    return result;
}

std::int16_t ReturnHexChar(const std::string& HexChar) {
    const bool digits = !HexChar.empty() && HexChar.find_first_not_of("0123456789") == std::string::npos;
    if (digits) return toInt16(HexChar);
    const std::string c = lowerCase(HexChar);
    if (c == "a") return 10;
    if (c == "b") return 11;
    if (c == "c") return 12;
    if (c == "d") return 13;
    if (c == "e") return 14;
    if (c == "f") return 15;
    return 0;
}

}  // namespace tw
