#include "vcom_test_env.h"

#include "TarvVirtualComPort.h"
#include "pty_rig.h"
#include "unique_handle.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace vcomtest {
namespace {

std::string linuxEnv(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string emulatorStateFile()
{
    return clser::testbed::windowsPathOf(linuxEnv("WINEPREFIX") + "/setupc-emulator/pairs.txt");
}

} // namespace

std::string runDirectory()
{
    const std::string dir = clser::testbed::windowsPathOf(linuxEnv("CLSER_RUN_DIR") + "/vcom");
    makeDirectories(dir);
    return dir;
}

std::string programDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.rfind('\\'));
}

std::string architectureFolder()
{
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? "x64" : "i386";
}

void setEnv(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }
void unsetEnv(const char* name) { _putenv_s(name, ""); }
std::string envValue(const char* name) { return linuxEnv(name); }

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void makeDirectories(const std::string& path)
{
    for (std::size_t pos = path.find('\\', 3); pos != std::string::npos; pos = path.find('\\', pos + 1))
        CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

std::string makeCom0comRoot(const std::string& name)
{
    const std::string root = runDirectory() + "\\" + name;
    const std::string folder = root + "\\com0com\\" + architectureFolder();
    makeDirectories(folder);
    CopyFileA((programDirectory() + "\\setupc.exe").c_str(), (folder + "\\setupc.exe").c_str(), FALSE);
    return root;
}

void configureEmulator(const std::string& text)
{
    const std::string path = runDirectory() + "\\setupc-emulator.cfg";
    writeFile(path, text);
    setEnv("CLSER_SETUPC_CONFIG", path);
}

void configureCameraPorts(int ports)
{
    const std::string path = runDirectory() + "\\camera-ports.cfg";
    writeFile(path, "ports = " + std::to_string(ports) + "\n");
    setEnv("CLSERBVK_SIM_CONFIG", path);
}

std::vector<clser::setupc::EmulatedPair> emulatedPairs()
{
    return clser::setupc::parsePairTable(readFile(emulatorStateFile()));
}

int runEmulator(const std::string& arguments)
{
    std::string output;
    return runProgram(programDirectory() + "\\setupc.exe", arguments, &output);
}

void removeAllEmulatedPairs()
{
    for (const auto& pair : emulatedPairs())
        runEmulator("--silent remove " + std::to_string(pair.number));
}

int runProgram(const std::string& exe, const std::string& arguments, std::string* output, unsigned timeoutMs)
{
    static int serial = 0;
    const std::string outputPath = runDirectory() + "\\output-" + std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(++serial) + ".txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    {
        clser::UniqueFile out(CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out)
            return -1;
        std::string line = "\"" + exe + "\" " + arguments;
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out.get();
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
            return -1;
        clser::UniqueHandle thread(info.hThread);
        clser::UniqueHandle process(info.hProcess);
        out.reset();
        if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        *output = readFile(outputPath);
        DeleteFileA(outputPath.c_str());
        return static_cast<int>(code);
    }
}

bool waitUntil(const std::function<bool()>& condition, unsigned timeoutMs)
{
    for (unsigned waited = 0;; waited += 50) {
        if (condition())
            return true;
        if (waited >= timeoutMs)
            return false;
        Sleep(50);
    }
}

std::vector<std::string> dosDeviceNames()
{
    std::vector<char> buffer(1 << 18);
    const DWORD n = QueryDosDeviceA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::vector<std::string> names;
    for (DWORD i = 0; i < n && buffer[i];) {
        std::string name(&buffer[i]);
        i += static_cast<DWORD>(name.size()) + 1;
        names.push_back(name);
    }
    return names;
}

bool deviceListed(const std::string& name)
{
    for (const auto& n : dosDeviceNames())
        if (n == name)
            return true;
    return false;
}

bool endOpenable(const std::string& name)
{
    clser::UniqueFile end(CreateFileA(("\\\\.\\" + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    return end.valid();
}

int highestPortNumberInUse()
{
    static const std::regex portName("(COM|TARVCOM)([0-9]{1,9})");
    int highest = 0;
    for (const auto& name : dosDeviceNames()) {
        std::smatch m;
        if (std::regex_match(name, m, portName))
            highest = std::max(highest, std::stoi(m[2].str()));
    }
    return highest;
}

int freePortNumber(int from)
{
    int n = from;
    while (deviceListed("COM" + std::to_string(n)) || deviceListed("TARVCOM" + std::to_string(n)))
        ++n;
    return n;
}

std::string lastError()
{
    const int size = TarvVComGetErrorDescription(nullptr);
    if (size <= 0)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    TarvVComGetErrorDescription(text.data());
    text.resize(static_cast<std::size_t>(size) - 1);
    return text;
}

} // namespace vcomtest
