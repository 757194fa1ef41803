#pragma once
// The status document of a frontier, one tag per line, indented with spaces, the way the
// program reads it: servers with status and population, relics before keeps, each keep with
// owner, claimant and claimant page on lines of their own.

#include <cstddef>
#include <string>

#include "frontier.h"

namespace herald_sim {

// `padTo`, when larger than the document, adds a comment at the end so the document is at
// least that many bytes (for timing large downloads).
std::string heraldDocument(const Frontier& frontier, std::size_t padTo = 0);

}  // namespace herald_sim
