// Stands in for the bridge program where a test only needs to know how it was started:
// appends one line per start to "bridge_starts.txt" beside itself:
//   <parameters>|<working directory>|<show state>
// where the show state is "hidden" when started with SW_HIDE, else the number given.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main()
{
    // The parameters: the command line without the program's own (possibly quoted) name.
    const char* line = GetCommandLineA();
    if (*line == '"') {
        line = std::strchr(line + 1, '"');
        line = line ? line + 1 : "";
    } else {
        while (*line && *line != ' ')
            ++line;
    }
    while (*line == ' ')
        ++line;

    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    std::string show = "default";
    if (si.dwFlags & STARTF_USESHOWWINDOW)
        show = si.wShowWindow == SW_HIDE ? "hidden" : std::to_string(si.wShowWindow);

    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string out = self;
    out = out.substr(0, out.rfind('\\') + 1) + "bridge_starts.txt";

    // Several starts may come quickly one after the other: retry while another holds the file.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE f = CreateFileA(out.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) {
            Sleep(20);
            continue;
        }
        const std::string record = std::string(line) + "|" + cwd + "|" + show + "\n";
        DWORD n = 0;
        WriteFile(f, record.data(), static_cast<DWORD>(record.size()), &n, nullptr);
        CloseHandle(f);
        return 0;
    }
    return 1;
}
