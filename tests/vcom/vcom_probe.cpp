// A small program bound to TarvVirtualComPort.dll by ordinal, run by the tests as a
// child process so that they see exactly what the library prints on standard output.
// Each argument group is one call; every result goes on a line of its own:
//   init | close | count | installall | error        TarvVComInit ... GetErrorDescription
//   pair I | install N | check N | remove ID         calls with one argument
//   move FROM TO                                     renames a file between calls
#include "TarvVirtualComPort.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    // The tests compare the bytes the library prints, without line-end translation.
    _setmode(_fileno(stdout), _O_BINARY);
    for (int i = 1; i < argc; ++i) {
        const std::string call = argv[i];
        const char* arg = i + 1 < argc ? argv[i + 1] : "";
        if (call == "init") {
            std::printf("init=%d\n", TarvVComInit());
        } else if (call == "close") {
            std::printf("close=%d\n", TarvVComClose());
        } else if (call == "count") {
            std::printf("count=%d\n", TarvVComGetCOMPairCount());
        } else if (call == "installall") {
            std::printf("installall=%d\n", TarvVComInstallAll());
        } else if (call == "error") {
            char text[512] = {};
            TarvVComGetErrorDescription(text);
            std::printf("error=[%s]\n", text);
        } else if (call == "pair") {
            char id[20] = {}, port[20] = {}, partner[20] = {};
            const int r = TarvVComGetOneCOMPair(std::atoi(arg), id, port, partner);
            std::printf("pair=%d %s %s %s\n", r, id, port, partner);
            ++i;
        } else if (call == "install") {
            std::printf("install=%d\n", TarvVComInstall(std::atoi(arg)));
            ++i;
        } else if (call == "check") {
            std::printf("check=%d\n", TarvVComCheckPortUse(std::atoi(arg)));
            ++i;
        } else if (call == "remove") {
            std::printf("remove=%d\n", TarvVComRemove(arg));
            ++i;
        } else if (call == "move" && i + 2 < argc) {
            std::printf("move=%d\n", MoveFileA(argv[i + 1], argv[i + 2]) ? 1 : 0);
            i += 2;
        } else {
            std::printf("unknown call %s\n", call.c_str());
            return 2;
        }
        std::fflush(stdout);
    }
    return 0;
}
