#include "child_process.h"

#include "scratch_files.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace clser::test {
namespace {

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// This program's environment with the changes, as a block of NAME=value strings; empty
// when there are none.
std::string environmentBlock(const std::map<std::string, std::optional<std::string>>& changes)
{
    if (changes.empty())
        return {};
    std::map<std::string, std::optional<std::string>> changed;
    for (const auto& [name, value] : changes)
        changed[upper(name)] = value;
    std::string block;
    if (char* current = GetEnvironmentStringsA()) {
        for (const char* p = current; *p; p += std::strlen(p) + 1) {
            const std::string line = p;
            const std::size_t eq = line.find('=', 1); // names like "=C:" begin with '='
            if (eq == std::string::npos || !changed.count(upper(line.substr(0, eq))))
                block.append(line).push_back('\0');
        }
        FreeEnvironmentStringsA(current);
    }
    for (const auto& [name, value] : changes)
        if (value)
            block.append(name + "=" + *value).push_back('\0');
    block.push_back('\0');
    return block;
}

} // namespace

std::string commandArguments(const std::vector<std::string>& words)
{
    std::string line;
    for (const auto& w : words)
        line += (line.empty() ? "" : " ") +
                (!w.empty() && w.find_first_of(" \t") == std::string::npos ? w : "\"" + w + "\"");
    return line;
}

UniqueHandle startProgram(const ProgramStart& start, DWORD* processId)
{
    std::string line = "\"" + start.program + "\"" + (start.arguments.empty() ? "" : " " + start.arguments);
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    const bool redirected = start.output != nullptr;
    if (redirected) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = start.output;
        startup.hStdError = start.errors ? start.errors : start.output;
    }
    std::string environment = environmentBlock(start.environment);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(start.program.c_str(), commandLine.data(), nullptr, nullptr, redirected ? TRUE : FALSE,
                        start.creationFlags, environment.empty() ? nullptr : environment.data(),
                        start.directory.empty() ? nullptr : start.directory.c_str(), &startup, &info))
        return UniqueHandle();
    UniqueHandle thread(info.hThread);
    if (processId)
        *processId = info.dwProcessId;
    return UniqueHandle(info.hProcess);
}

std::vector<std::string> ProgramRun::lines() const { return splitLines(output); }

ProgramRun runProgram(ProgramStart start, DWORD timeoutMs, bool endOnTimeout)
{
    static std::atomic<int> serial{0};
    const std::string outputPath = scratchPath("output-" + std::to_string(++serial) + ".txt");
    ProgramRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueFile output(CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output)
        return run;
    start.output = output.get();
    UniqueHandle process;
    DWORD processId = 0;
    for (int attempt = 0; attempt < start.attempts && !process; ++attempt) {
        if (attempt > 0)
            Sleep(250);
        process = startProgram(start, &processId);
    }
    const DWORD startError = process ? 0 : GetLastError();
    output.reset(); // the child holds the only write end now
    if (!process) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", start.program.c_str(),
                     static_cast<unsigned long>(startError));
        DeleteFileA(outputPath.c_str());
        return run;
    }
    if (start.started)
        start.started(processId);
    run.started = true;
    run.ended = WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
    if (run.ended)
        GetExitCodeProcess(process.get(), &run.exitCode);
    else if (endOnTimeout) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
    }
    run.output = readTextFile(outputPath);
    DeleteFileA(outputPath.c_str());
    return run;
}

} // namespace clser::test
