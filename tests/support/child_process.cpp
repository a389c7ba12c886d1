#include "child_process.h"

#include "scratch_files.h"

#include <atomic>
#include <vector>

namespace clser::test {

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
    std::string environment = start.environment;
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
    UniqueHandle process = startProgram(start);
    output.reset(); // the child holds the only write end now
    if (!process) {
        DeleteFileA(outputPath.c_str());
        return run;
    }
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
