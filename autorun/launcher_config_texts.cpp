// The texts the launcher makes of a connection section beside the profile's: the bridge
// end to look for. No Windows call here, so they also build and run natively.
#include "launcher_config.h"

#include "letter_case.h"
#include "virtual_pair.h"

namespace clser::autorun {

std::string bridgeSearchKey(std::string_view comPortName)
{
    return partnerName(upperCase(comPortName));
}

} // namespace clser::autorun
