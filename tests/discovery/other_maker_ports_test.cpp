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

struct CatalogCase {
    const char* name;
    const char* folder;             // nullptr: no registry value; "missing": no such folder
    std::vector<std::string> files; // copied from the build (bin, clserial, clserial-variants)
    std::string ports;              // "<library>:<index> <name>; " each
    std::vector<std::string> left;  // "<file> is left out: <why>", the beginning of each line
};

std::string sourceOf(const std::string& file)
{
    if (file == "clserbvk.dll")
        return programDirectory() + "\\" + file;
    const char* built = file == "clserlrk.dll" ? CLSER_CAMERA_LINK_FOLDER : CLSER_CAMERA_LINK_VARIANTS;
    return clser::testbed::windowsPathOf(built) + "\\" + file;
}

TEST(OtherMakerPorts, ListsEveryLibraryOfTheFolderAndLeavesOutTheBrokenOnes)
{
    const std::string larkspur = "clserlrk.dll:0 Larkspur Imaging port 0; clserlrk.dll:1 Larkspur Imaging port 1; "
                                 "clserlrk.dll:2 Larkspur Imaging port 2; ";
    const CatalogCase cases[] = {
        {"no registry value", nullptr, {}, "", {}},
        {"a folder that is missing", "missing", {}, "", {}},
        {"an empty folder", "empty", {}, "", {}},
        {"two makers in file-name order, one without port-count and information calls", "two",
         {"clserprb.dll", "clserlrk.dll"},
         larkspur + "clserprb.dll:0 clserprb.dll port 0; clserprb.dll:1 clserprb.dll port 1; ", {}},
        {"this system's own library is not listed twice", "own", {"clserbvk.dll", "clserlrk.dll"}, larkspur, {}},
        {"the broken ones, each with its line", "broken",
         {"clsertxt.dll", "clsernrd.dll", "clsermny.dll", "clsernfo.dll", "clserlrk.dll"}, larkspur,
         {"clsermny.dll is left out: it reports 65 ports, more than 64",
          "clsernfo.dll is left out: its call clGetManufacturerInfo fails",
          "clsernrd.dll is left out: it lacks the call clSerialRead",
          "clsertxt.dll is left out: it cannot be loaded ("}},
    };
    ScratchTree tree(runDirectory("discovery") + "\\other-maker-ports");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = tree.path(c.folder ? c.folder : "none");
        if (c.folder && std::string(c.folder) != "missing")
            makeDirectories(folder);
        for (const std::string& file : c.files)
            ASSERT_TRUE(tree.copyInto(sourceOf(file), std::string(c.folder) + "\\" + file)) << file;

        const auto found = clser::listOtherMakerPorts(c.folder ? std::optional(folder) : std::nullopt);
        std::string ports;
        for (const auto& p : found.ports)
            ports += p.library + ":" + std::to_string(p.index) + " " + p.name + "; ";
        EXPECT_EQ(ports, c.ports);
        ASSERT_EQ(found.skipped.size(), c.left.size());
        for (size_t k = 0; k < c.left.size(); ++k) {
            const std::string line = "The Camera Link serial library " + folder + "\\" + c.left[k];
            EXPECT_EQ(found.skipped[k].substr(0, line.size()), line);
        }
    }
}

} // namespace
