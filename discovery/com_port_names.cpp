#include "com_port_names.h"

#include "dos_device_names.h"

namespace clser::discovery {

bool isComPortDeviceName(std::string_view name) { return isNumberedDeviceName(name, "COM", 7); }

} // namespace clser::discovery
