#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <rawlet/platform/code_page.h>

namespace rawlet::bridge {

// The origins a user let print, each exactly as a browser sends it ("https://pos.example.com",
// scheme, host and port), and the printers it may use: every printer when none is named.
struct AllowEntry {
    std::string origin;
    std::vector<std::string> printers;

    // Letter case free in the system's code page, as the front door matches printer names:
    // a printer the entry names is the printer a job to that name reaches.
    bool MayUse(std::string_view printer, const platform::CodePage& codePage) const;
};

// An --allow value or an `allow` line that cannot be used; the message says why.
struct BadAllowEntry : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

// "ORIGIN" or "ORIGIN=PRINTER,...". Throws BadAllowEntry.
AllowEntry ParseAllowEntry(std::string_view text);

class AllowList {
public:
    // An origin given twice keeps the printers of both entries.
    void Add(AllowEntry entry);
    // The entry of exactly this origin; nothing for any other, "null" included.
    const AllowEntry* Find(std::string_view origin) const;
    bool empty() const noexcept { return entries_.empty(); }

private:
    std::vector<AllowEntry> entries_;
};

// The lines of a bridge.conf: `allow ORIGIN[=PRINTER,...]`, blank lines and `#` comments. The
// lines that cannot be used are added to `problems` as "FILE:LINE: reason".
void ReadAllowConf(std::istream& lines, const std::string& fileName, AllowList& list,
                   std::vector<std::string>& problems);

// bridge.conf beside printers.conf: $RAWLET_BRIDGE_CONF alone when it is set; otherwise
// $XDG_CONFIG_HOME/rawlet/bridge.conf (~/.config/rawlet/bridge.conf), then
// /etc/rawlet/bridge.conf. Missing files are no problem.
void LoadAllowConf(AllowList& list, std::vector<std::string>& problems);

} // namespace rawlet::bridge
