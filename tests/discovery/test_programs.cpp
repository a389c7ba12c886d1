#include "test_programs.h"

#include "unique_handle.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

namespace clser::discovery::testing {
namespace {

constexpr const char* kScratchBase = R"(C:\clser-discovery-tests)";

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The current environment as NAME=value lines, less the names to drop.
std::vector<std::string> environmentWithout(const std::set<std::string>& dropUpper)
{
    std::vector<std::string> lines;
    char* block = GetEnvironmentStringsA();
    if (!block)
        return lines;
    for (const char* p = block; *p; p += std::strlen(p) + 1) {
        const std::string line = p;
        const std::size_t eq = line.find('=', 1); // names like "=C:" begin with '='
        if (eq != std::string::npos && dropUpper.count(upper(line.substr(0, eq))))
            continue;
        lines.push_back(line);
    }
    FreeEnvironmentStringsA(block);
    return lines;
}

std::string quoteArgument(const std::string& a)
{
    return (a.find_first_of(" \t") == std::string::npos && !a.empty()) ? a : "\"" + a + "\"";
}

} // namespace

std::string ownDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\'));
}

ScratchTree::ScratchTree(const std::string& name) : root_(std::string(kScratchBase) + "\\" + name)
{
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
    std::filesystem::create_directories(root_, ec);
}

ScratchTree::~ScratchTree()
{
    // A program that has just ended may hold its files a moment longer.
    std::error_code ec;
    for (int attempt = 0; attempt < 30; ++attempt) {
        std::filesystem::remove_all(root_, ec);
        if (!std::filesystem::exists(root_, ec))
            break;
        Sleep(100);
    }
    std::filesystem::remove(kScratchBase, ec); // only when no other tree is left
}

std::string ScratchTree::path(const std::string& relative) const { return root_ + "\\" + relative; }

bool ScratchTree::copyInto(const std::string& source, const std::string& relativeTarget) const
{
    const std::string target = path(relativeTarget);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ec);
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

bool ScratchTree::writeFile(const std::string& relative, const std::string& text) const
{
    const std::string target = path(relative);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ec);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment)
{
    ProgramRun run;
    std::vector<std::string> env = environmentWithout({"TARVDIR5_32", "TARVDIR5", "CLSER_SDK_CONFIG"});
    for (const auto& [name, value] : environment)
        env.push_back(name + "=" + value);
    std::string envBlock;
    for (const auto& line : env) {
        envBlock += line;
        envBlock += '\0';
    }
    envBlock += '\0';

    std::string commandLine = quoteArgument(program);
    for (const auto& a : arguments)
        commandLine += " " + quoteArgument(a);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    {
        HANDLE r = nullptr;
        HANDLE w = nullptr;
        if (!CreatePipe(&r, &w, &inherit, 0))
            return run;
        readEnd.reset(r);
        writeEnd.reset(w);
    }
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd.get();
    si.hStdError = writeEnd.get();
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, envBlock.data(),
                        nullptr, &si, &pi))
        return run;
    UniqueHandle process(pi.hProcess);
    UniqueHandle thread(pi.hThread);
    writeEnd.reset(); // the child holds the only write end now: end of file when it exits
    run.started = true;

    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    if (WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.get(), &run.exitCode);
    else
        TerminateProcess(process.get(), 1);

    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        std::string l = output.substr(start, end - start);
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
        run.lines.push_back(l);
        start = end + 1;
    }
    return run;
}

std::vector<std::string> listedDeviceNames()
{
    std::vector<char> buffer(1 << 20);
    const DWORD n = QueryDosDeviceA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::vector<std::string> names;
    for (DWORD i = 0; i < n && buffer[i];) {
        names.emplace_back(&buffer[i]);
        i += static_cast<DWORD>(names.back().size()) + 1;
    }
    return names;
}

bool deviceNameListed(const std::string& name)
{
    const std::vector<std::string> names = listedDeviceNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string expand(std::string text, const std::map<std::string, std::string>& values)
{
    for (const auto& [key, value] : values) {
        const std::string token = "{" + key + "}";
        for (std::size_t pos = text.find(token); pos != std::string::npos; pos = text.find(token, pos + value.size()))
            text.replace(pos, token.size(), value);
    }
    return text;
}

} // namespace clser::discovery::testing
