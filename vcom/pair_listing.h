// Rebuilds the module's pair list from what setupc's list command reports.
#pragma once

#include "vcom_module.h"

namespace clser::vcom {

// 1: the list is valid (possibly empty); 0: failure, the last-error text says why.
int refreshPairList(VComModule& module);

} // namespace clser::vcom
