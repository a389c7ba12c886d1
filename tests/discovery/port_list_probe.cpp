// Builds the COM port list with the real pair library (TarvVirtualComPort.dll) and prints
// it. Each "refresh" argument rebuilds the list once and prints:
//   ui=<text>                   for every message the list asked to show (line feeds as \n)
//   entries=<n>
//   entry=<pairId>|<portName>|<partnerName>   per entry, in list order
#include "port_discovery.h"
#include "tarv_vcom_pair_library.h"

#include <cstdio>
#include <string>

using namespace clser::discovery;
using clser::VirtualPair;
using clser::vcom::TarvVComPairLibrary;

namespace {

class PrintingUi : public DiscoveryUi {
public:
    void showLibraryError(const std::string& text) override
    {
        std::string shown;
        for (char c : text)
            shown += c == '\n' ? std::string("\\n") : std::string(1, c);
        std::printf("ui=%s\n", shown.c_str());
    }
};

} // namespace

int main(int argc, char** argv)
{
    TarvVComPairLibrary library;
    PrintingUi ui;
    PortDiscovery discovery(library, ui);
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "refresh") {
            std::printf("unknown=%s\n", argv[i]);
            return 2;
        }
        discovery.refreshPortList();
        std::printf("entries=%d\n", static_cast<int>(discovery.portEntries().size()));
        for (const VirtualPair& e : discovery.portEntries())
            std::printf("entry=%s|%s|%s\n", e.pairId.c_str(), e.portName.c_str(), e.partnerName.c_str());
        std::fflush(stdout);
    }
    return 0;
}
