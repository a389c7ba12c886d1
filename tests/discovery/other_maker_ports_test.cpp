// The ports of other makers' serial libraries in a Camera Link library folder: which
// libraries are listed, in which order and under which names, and which are left out
// with why. Each case copies the stand-ins it needs into a folder of its own.
#include "cl_serial_port_catalog.h"
#include "pty_rig.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace clser::test;

namespace {

enum class Folder { NoValue, Missing, Made };

struct CatalogCase {
    const char* name;
    Folder folder;
    std::vector<std::string> files; // copied from the build (bin, clserial, clserial-variants)
    std::vector<std::string> ports; // "<library>:<index> <name>"
    std::vector<std::string> left;  // "<file> is left out: <why>", the beginning of each line
};

std::string sourceOf(const std::string& file)
{
    if (file == "clserbvk.dll")
        return programDirectory() + "\\" + file;
    if (file == "clserlrk.dll")
        return clser::testbed::windowsPathOf(CLSER_CAMERA_LINK_FOLDER) + "\\" + file;
    return clser::testbed::windowsPathOf(CLSER_CAMERA_LINK_VARIANTS) + "\\" + file;
}

TEST(OtherMakerPorts, ListsEveryLibraryOfTheFolderAndLeavesOutTheBrokenOnes)
{
    const std::vector<std::string> larkspur = {"clserlrk.dll:0 Larkspur Imaging port 0",
                                               "clserlrk.dll:1 Larkspur Imaging port 1",
                                               "clserlrk.dll:2 Larkspur Imaging port 2"};
    std::vector<std::string> twoMakers = larkspur;
    twoMakers.insert(twoMakers.end(), {"clserprb.dll:0 clserprb.dll port 0", "clserprb.dll:1 clserprb.dll port 1"});
    const CatalogCase cases[] = {
        {"no registry value", Folder::NoValue, {}, {}, {}},
        {"a folder that is missing", Folder::Missing, {}, {}, {}},
        {"an empty folder", Folder::Made, {}, {}, {}},
        {"two makers in file-name order, one without port-count and information calls named by its file",
         Folder::Made, {"clserprb.dll", "clserlrk.dll"}, twoMakers, {}},
        {"this system's own library in the folder is not listed twice", Folder::Made,
         {"clserbvk.dll", "clserlrk.dll"}, larkspur, {}},
        {"the broken ones, each with its line",
         Folder::Made,
         {"clsertxt.dll", "clsernrd.dll", "clsermny.dll", "clsernfo.dll", "clserlrk.dll"},
         larkspur,
         {"clsermny.dll is left out: it reports 65 ports, more than 64",
          "clsernfo.dll is left out: its call clGetManufacturerInfo fails",
          "clsernrd.dll is left out: it lacks the call clSerialRead",
          "clsertxt.dll is left out: it cannot be loaded ("}},
    };
    ScratchTree tree(runDirectory("discovery") + "\\other-maker-ports");
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = tree.path("case" + std::to_string(++row));
        if (c.folder == Folder::Made)
            makeDirectories(folder);
        for (const std::string& file : c.files)
            ASSERT_TRUE(tree.copyInto(sourceOf(file), "case" + std::to_string(row) + "\\" + file)) << file;

        const clser::OtherMakerPorts found =
            clser::listOtherMakerPorts(c.folder == Folder::NoValue ? std::nullopt : std::optional(folder));
        std::vector<std::string> ports;
        for (const auto& p : found.ports)
            ports.push_back(p.library + ":" + std::to_string(p.index) + " " + p.name);
        EXPECT_EQ(ports, c.ports);
        ASSERT_EQ(found.skipped.size(), c.left.size());
        for (size_t k = 0; k < c.left.size(); ++k) {
            const std::string line = "The Camera Link serial library " + folder + "\\" + c.left[k];
            EXPECT_EQ(found.skipped[k].substr(0, line.size()), line);
        }
    }
}

} // namespace
