#include "cl_serial_port_catalog.h"

#include "cl_serial_library.h"
#include "cl_serial_library_names.h"

namespace clser {

OtherMakerPorts listOtherMakerPorts(const std::optional<std::string>& folder)
{
    OtherMakerPorts found;
    if (!folder)
        return found;
    for (const std::string& file : otherMakerLibraries(clSerialLibraryFilesIn(*folder))) {
        const std::string said = "The Camera Link serial library " + *folder + "\\" + file + " is left out: ";
        const ClSerialLibraryLoad load = loadClSerialLibrary(*folder + "\\" + file);
        if (!load.library) {
            found.skipped.push_back(said + "it " + load.problem);
            continue;
        }
        bool infoFailed = false;
        const std::optional<std::string> maker = load.library->manufacturer(&infoFailed);
        if (infoFailed) {
            found.skipped.push_back(said + "its call clGetManufacturerInfo fails");
            continue;
        }
        const std::optional<uint32_t> count = load.library->portCount();
        if (!count) {
            found.skipped.push_back(said + "its call clGetNumSerialPorts fails");
            continue;
        }
        if (*count > kMaxLibraryPorts) {
            found.skipped.push_back(said + "it reports " + std::to_string(*count) + " ports, more than " +
                                    std::to_string(kMaxLibraryPorts));
            continue;
        }
        const std::string shown = maker && !maker->empty() ? *maker : file;
        for (uint32_t k = 0; k < *count; ++k)
            found.ports.push_back({file, k, otherMakerPortName(shown, k)});
    }
    return found;
}

} // namespace clser
