#include "herald/scanning.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "runtime/conversions.h"
#include "runtime/error_handler.h"
#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tw {

std::string charactersFromTo(const std::string& text, long long S, long long E) {
    // mid() reads a length of -1 as "to the end"; here every negative count is a fault.
    if (E - S < 0) throw RuntimeError(kErrInvalidArgument);
    return mid(text, S, E - S);
}

long long searchStart(double position) { return roundToInt32(position); }

namespace {

// The part of text in which a match starting no later than TopPos can lie. Searching only
// there gives the same answer and keeps a keep without (say) a claimant from scanning the
// rest of the document.
std::string_view searchableUpTo(const std::string& text, double TopPos, size_t patternLength) {
    const auto size = static_cast<double>(text.size());
    if (std::isnan(TopPos) || TopPos >= size) return text;
    if (TopPos < 1) return {};
    const auto last = static_cast<size_t>(std::floor(TopPos)) - 1 + patternLength;
    return std::string_view(text).substr(0, std::min(last, text.size()));
}

}  // namespace

std::string GetTag(const std::string& XMLData, const std::string& Find, const double& Start,
                   const double& TopPos) {
    const std::string opening = "<" + Find + ">";
    const long long P1 = inStr(searchStart(Start), searchableUpTo(XMLData, TopPos, opening.size()), opening);
    // An opening tag exactly at TopPos still belongs to the element being read.
    if (P1 == 0 || static_cast<double>(P1) > TopPos) return {};
    const long long P2 = inStr(P1, XMLData, "</" + Find + ">");
    const long long S = P1 + static_cast<long long>(Find.size()) + 2;
    // P2 is not checked: a missing closing tag makes the count negative and fails here.
    return charactersFromTo(XMLData, S, P2);
}

std::string GetItem(const std::string& Tag, const std::string& Item) {
    std::string result;
    withErrorHandler("GetItem", [&] {
        // None of the three searches is checked; callers live with stray text.
        const long long P = inStr(Tag, Item);
        const long long S = P + static_cast<long long>(Item.size()) + 2;
        const long long E = inStr(S, Tag, "\"");
        result = charactersFromTo(Tag, S, E);
    });
    return result;
}

std::string GetXML(const std::string& XMLData, const std::string& nTag, const std::string& nValue,
                   double& sStartPos) {
    std::string result;
    withErrorHandler("GetXML", [&] {
        // No ">" in the pattern: any tag whose name begins with nTag matches.
        long long P = inStr(searchStart(sStartPos), XMLData, "<" + nTag);
        if (P == 0) return;
        // The value search runs on past the tag, through the rest of the document.
        P = inStr(P, XMLData, nValue);
        if (P == 0) return;
        const long long S = P + 2 + static_cast<long long>(nValue.size());
        const long long E = inStr(S, XMLData, "\"");
        if (E == 0) return;
        std::string value = charactersFromTo(XMLData, S, E);
        sStartPos = static_cast<double>(E + 2);
        result = std::move(value);
    });
    return result;
}

std::string GetXML(const std::string& XMLData, const std::string& nTag, const std::string& nValue) {
    double start = 1;
    return GetXML(XMLData, nTag, nValue, start);
}

std::string GetSimpleXML(const std::string& XMLData, const std::string& nTag,
                         const double& sStartPos) {
    std::string result;
    withErrorHandler("GetSimpleXML", [&] {
        const long long from = searchStart(sStartPos);
        // Both tags are searched from the same start, and neither result is checked.
        const long long P1 = inStr(from, XMLData, "<" + nTag + ">");
        const long long P2 = inStr(from, XMLData, "</" + nTag + ">");
        // P2 - P1 - length - 2 characters from S: exactly those before P2.
        const long long S = P1 + static_cast<long long>(nTag.size()) + 2;
        result = charactersFromTo(XMLData, S, P2);
    });
    return result;
}

std::string ReturnValue(const std::string& Line, const std::string& nValue) {
    std::string result;
    withErrorHandler("ReturnValue", [&] {
        const long long P = inStr(Line, nValue);
        if (P == 0) return;
        const long long S = P + 2 + static_cast<long long>(nValue.size());
        const long long E = inStr(S, Line, "\"");
        if (E == 0) return;
        result = charactersFromTo(Line, S, E);
    });
    return result;
}

}  // namespace tw
