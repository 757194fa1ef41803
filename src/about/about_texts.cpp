#include "about/about_texts.h"

namespace tw {

const char* const kCreditText =
    "Towerwatch started as a small viewer I wrote to check the keep status on the herald's "
    "web page. Later it learned to log every change of keep ownership, and from there it "
    "grew into the frontier watcher you see now. Thanks to Brannoc, Ysolde and Thurgrim for "
    "their testing and ideas. If you like it, please use the donation button below.";

const char* const kAuthorLine =
    "Written by Vexlor, shieldwarden of the Frost Hollow guild, on the Stormreach server.";

const char* const kMakerAddress = "vexlor@towerwatch.example";
const char* const kMailLink = "mailto:vexlor@towerwatch.example";
const char* const kDonationPage = "https://donate.example/towerwatch";

std::string versionLine(int major, int minor, int revision) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + " build " +
           std::to_string(revision);
}

}  // namespace tw
