#pragma once
// The words of the about box: credits, author line, contact and donation addresses, and
// the version line. Plain C++.

#include <string>

namespace tw {

extern const char* const kCreditText;
extern const char* const kAuthorLine;
extern const char* const kMakerAddress;   // shown as written
extern const char* const kMailLink;       // kMakerAddress as a mailto: link
extern const char* const kDonationPage;

// "Version " major "." minor " build " revision, each in decimal: 1, 1, 1 gives
// "Version 1.1 build 1".
std::string versionLine(int major, int minor, int revision);

}  // namespace tw
