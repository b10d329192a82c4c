// The manual page vialoom(1): hand-written prose around parts written from
// the tables behind --help and the help overlay, so the three cannot disagree.
#pragma once

#include <string>

// Text that roff prints as it is: backslashes, hyphens (options stay minus
// signs a reader can copy), quotes, a leading dot or quote, all escaped.
std::string roffText(const std::string& text);

// One synopsis ("vialoom route MAPFILE FROM TO") in roff: capitals in
// italics, brackets and bars plain, the other words in bold.
std::string roffSynopsis(const std::string& synopsis);

// Fills page: each line that is only "@SYNOPSIS@", "@COMMANDS@", "@OPTIONS@"
// or "@KEYS@" becomes that table in roff, "@VERSION@" and "@DATE@" anywhere
// become version and date. Any other "@NAME@" (capitals between at signs)
// fails with error "LINE: unknown marker @NAME@", out then undefined.
bool fillManualPage(const std::string& page, const std::string& version, const std::string& date,
                    std::string& out, std::string& error);
