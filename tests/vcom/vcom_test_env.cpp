#include "vcom_test_env.h"

#include "TarvVirtualComPort.h"
#include "camera_config.h"
#include "unique_handle.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <regex>

namespace clser::test {

void setEnv(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }
void unsetEnv(const char* name) { _putenv_s(name, ""); }

std::string envValue(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

void configureEmulator(const std::string& text)
{
    const std::string path = runDirectory("vcom") + "\\setupc-emulator.cfg";
    writeTextFile(path, text);
    setEnv("CLSER_SETUPC_CONFIG", path);
}

void configureCameraPorts(int ports) { useCameraConfig("ports = " + std::to_string(ports) + "\n"); }

ProgramStart vcomProbe(const std::string& calls, const std::string& directory)
{
    ProgramStart start{directory + "\\vcom_probe.exe", calls};
    start.errors = GetStdHandle(STD_ERROR_HANDLE);
    return start;
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

} // namespace clser::test
