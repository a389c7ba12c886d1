// The texts the launcher makes of a connection section beside the profile's: the bridge
// end to look for, and why a section's library is not used. No Windows call here, so
// they also build and run natively.
#include "launcher_config.h"

#include "connection_profile.h"
#include "letter_case.h"
#include "virtual_pair.h"

namespace clser::autorun {

std::string bridgeSearchKey(std::string_view comPortName)
{
    return partnerName(upperCase(comPortName));
}

std::string clLibraryRefusalLine(int number, std::string_view problem)
{
    constexpr std::string_view is = "is ";
    if (problem.substr(0, is.size()) == is)
        return profile::clLibraryRefusal(number, problem.substr(is.size()));
    return profile::clLibraryRefusal(number, "a library that " + std::string(problem));
}

} // namespace clser::autorun
