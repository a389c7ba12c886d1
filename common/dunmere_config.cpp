#include "dunmere_config.h"

#include "program_path.h"

namespace clser::config {

std::string configPathBeside(std::string_view modulePath) { return directoryOf(modulePath) + "\\" + kFileName; }

std::string configPathOfThisProgram() { return configPathBeside(modulePath()); }

} // namespace clser::config
