// The DOS device names of the object namespace, as QueryDosDevice lists them.
#pragma once

#include <string>
#include <vector>

namespace clser::test {

std::vector<std::string> dosDeviceNames();
bool deviceListed(const std::string& name);

} // namespace clser::test
