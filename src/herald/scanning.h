#pragma once
// The five helpers that read the herald's status document by plain substring search:
// case-sensitive, 1-based positions, nothing decoded, whitespace never skipped. They are
// deliberately literal; the document layout the readers rely on follows from them.
//
// Positions are doubles holding whole 1-based positions; a position used as a search start
// is rounded to a 32-bit integer (half to even; overflow, error 6, outside that range). A
// start below 1 is an invalid argument (error 5).
//
// GetItem, GetXML, GetSimpleXML and ReturnValue each handle their own failures: the box
// "Error in <helper> sub" is shown and the empty string returned. GetTag has no handler:
// its failures are thrown as RuntimeError to the caller.

#include <string>

namespace tw {

// Text between "<Find>" and the next "</Find>", for an opening tag found from Start that
// begins no later than TopPos; "" when there is none. Throws error 5 when the closing tag
// is missing or Start is below 1.
std::string GetTag(const std::string& XMLData, const std::string& Find, const double& Start,
                   const double& TopPos);

// Value after the first occurrence of Item anywhere in Tag (name, "=", quote skipped, up to
// the next quote). Unchecked: a missing Item gives stray text; no quote after it fails into
// "Error in GetItem sub" and gives "".
std::string GetItem(const std::string& Tag, const std::string& Item);

// Value of the first nValue after the next "<" + nTag at or after sStartPos; moves
// sStartPos two characters past the closing quote. "" (sStartPos untouched) when any
// search comes up empty.
std::string GetXML(const std::string& XMLData, const std::string& nTag, const std::string& nValue,
                   double& sStartPos);
// The same from position 1, for callers that do not walk.
std::string GetXML(const std::string& XMLData, const std::string& nTag, const std::string& nValue);

// Text of the element "<nTag>...</nTag>", both tags searched from sStartPos (unchanged).
// Unchecked: when either tag is missing or they are out of order the count goes negative and
// "Error in GetSimpleXML sub" is shown; the result is then "".
std::string GetSimpleXML(const std::string& XMLData, const std::string& nTag,
                         const double& sStartPos);

// The guarded twin of GetItem: "" when nValue or the closing quote is missing.
std::string ReturnValue(const std::string& Line, const std::string& nValue);

// "The characters S to E-1" of text: E - S characters from S. A start below 1 or a
// negative count is an invalid argument (error 5); a start past the end gives "".
std::string charactersFromTo(const std::string& text, long long S, long long E);

// A double position as a search start: rounded half to even into 32 bits (error 6 outside).
long long searchStart(double position);

}  // namespace tw
