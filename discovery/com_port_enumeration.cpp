#include "com_port_enumeration.h"

#include "com_port_names.h"
#include "dos_device_names.h"

#include <string>

namespace clser::discovery {

int enumerateComPorts(std::vector<VirtualPair>& portEntries)
{
    const std::optional<std::string> list = queryDosDeviceNames();
    if (!list)
        return 0;
    for (std::string& name : splitDosDeviceNames(*list))
        if (isComPortDeviceName(name))
            portEntries.push_back(VirtualPair{{}, std::move(name), {}});
    return 1;
}

} // namespace clser::discovery
