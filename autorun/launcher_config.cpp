#include "launcher_config.h"

#include "profile_file.h"

namespace clser::autorun {

std::string readComValue(const std::string& path, int number)
{
    return profile::ProfileFile(path, number).text(profile::kCom, profile::kValueBufferSize, "");
}

void writeFirstRunSection(const std::string& path, int number, const std::string& comPortName, int clIndex)
{
    profile::writeKeys(path, number, profile::firstRunSection(comPortName, clIndex));
}

} // namespace clser::autorun
