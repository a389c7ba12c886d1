// Reports what the SDK binding finds from wherever this program lies. Each argument is
// a command; each prints one or more lines:
//   root            root=<SDK root> or root=(none)
//   maxdevices      maxdevices=<THalGetMaxDevices>
//   sysinfo         sysinfo=<Fg_getSystemInformation result>:<text>
//   board N         board=<handle 1/0> serial=<n> cl=<n> name=<text or (null)>
//   ports           ports=<found 1/0> count=<n>, then port=<name> per port
//   copy SRC DST    copy=<1/0> (for a library that appears while the program runs)
#include "camera_link_enumeration.h"
#include "sdk_binding.h"
#include "sdk_directory.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace clser;

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string command = argv[i];
        if (command == "root") {
            const char* root = discovery::locateSdkDirectory();
            std::printf("root=%s\n", root ? root : "(none)");
        } else if (command == "maxdevices") {
            std::printf("maxdevices=%d\n", sdk::THalGetMaxDevices());
        } else if (command == "sysinfo") {
            char text[256] = {};
            unsigned int length = sizeof text;
            const int result = sdk::Fg_getSystemInformation(nullptr, sdk::kSystemInfoBoardCount, 0, 0, text, &length);
            text[sizeof text - 1] = '\0';
            std::printf("sysinfo=%d:%s\n", result, text);
        } else if (command == "board" && i + 1 < argc) {
            sdk::DeviceHandle device = sdk::THalInitDevice(std::atoi(argv[++i]));
            const char* name = sdk::THalGetBoardInfoString(device, sdk::kKeyBoardName);
            std::printf("board=%d serial=%d cl=%d name=%s\n", device ? 1 : 0,
                        sdk::THalGetBoardInfoInt(device, sdk::kKeySerialPorts),
                        sdk::THalGetBoardInfoInt(device, sdk::kKeyCameraLinkPorts), name ? name : "(null)");
            if (device)
                sdk::THalFreeDevice(device);
        } else if (command == "ports") {
            std::vector<std::string> names;
            const bool found = discovery::enumerateCameraLinkPorts(names);
            std::printf("ports=%d count=%d\n", found ? 1 : 0, static_cast<int>(names.size()));
            for (const auto& n : names)
                std::printf("port=%s\n", n.c_str());
        } else if (command == "copy" && i + 2 < argc) {
            const bool copied = CopyFileA(argv[i + 1], argv[i + 2], FALSE) != 0;
            i += 2;
            std::printf("copy=%d\n", copied ? 1 : 0);
        } else {
            std::printf("unknown=%s\n", command.c_str());
            return 2;
        }
        std::fflush(stdout);
    }
    return 0;
}
