#include "bridge_test_support.h"

#include "pty_rig.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace clser::test {

bool UserPort::open(const std::string& name)
{
    const std::string path = "\\\\.\\" + name;
    handle_.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle_)
        return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(handle_.get(), &dcb);
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    SetCommState(handle_.get(), &dcb);
    COMMTIMEOUTS t{};
    t.ReadTotalTimeoutConstant = 50;
    t.WriteTotalTimeoutConstant = 2000;
    SetCommTimeouts(handle_.get(), &t);
    PurgeComm(handle_.get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
    return true;
}

bool UserPort::write(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        if (!WriteFile(handle_.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr))
            return false;
        if (n == 0)
            return false;
        done += n;
    }
    return true;
}

std::string UserPort::read(size_t want, DWORD timeoutMs)
{
    std::string got;
    DWORD quietSince = GetTickCount();
    while (got.size() < want && GetTickCount() - quietSince < timeoutMs) {
        char buf[4096];
        DWORD n = 0;
        const DWORD ask = static_cast<DWORD>(std::min(sizeof buf, want - got.size()));
        if (!ReadFile(handle_.get(), buf, ask, &n, nullptr))
            break;
        if (n > 0) {
            got.append(buf, n);
            quietSince = GetTickCount();
        }
    }
    return got;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        Sleep(10);
    }
}

std::string scratchPath(const std::string& fileName)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "clser_" + std::to_string(GetCurrentProcessId()) + "_" + fileName;
}

std::string useCameraConfig(const std::string& text)
{
    const std::string path = scratchPath("camera.conf");
    std::ofstream(path, std::ios::binary) << text;
    _putenv_s("CLSERBVK_SIM_CONFIG", path.c_str());
    return path;
}

bool ptyRig(const std::string& subcommand, const std::string& name)
{
    const char* prefix = std::getenv("WINEPREFIX");
    const char* testbed = std::getenv("CLSER_TESTBED");
    if (!prefix || !testbed)
        return false;
    const std::string marker = std::string(prefix) + "/ptyrig/" + subcommand + "-" + name + ".done";
    DeleteFileA(testbed::windowsPathOf(marker).c_str());
    const std::string cmd = "'" + std::string(testbed) + "/pty-pair' " + subcommand + " '" + prefix + "' " + name +
                            " && touch '" + marker + "'";
    const bool ok = testbed::runLinuxCommand(cmd, marker, 10000);
    DeleteFileA(testbed::windowsPathOf(marker).c_str());
    return ok;
}

std::string fileContent(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace clser::test
