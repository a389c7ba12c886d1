#include "device_name_scan.h"

#include "dos_device_names.h"
#include "serial_device_names.h"

namespace clser::vcom {

std::vector<std::string> scanSerialDeviceNames()
{
    const std::optional<std::string> names = queryDosDeviceNames();
    return names ? filterSerialDeviceNames(*names) : std::vector<std::string>();
}

} // namespace clser::vcom
