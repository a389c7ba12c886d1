// Lists the machine's COM ports from its device names.
#pragma once

#include "virtual_pair.h"

#include <vector>

namespace clser::discovery {

// Appends a plain entry (empty pairId and partnerName) for every device named COM
// followed by digits, up to 7 characters, in the order the system lists them; the name
// keeps the case the system reports. 1 when the device list could be read, else 0 with
// nothing added.
int enumerateComPorts(std::vector<VirtualPair>& portEntries);

} // namespace clser::discovery
