// Prints, for every running process with the given program name, the figures Windows
// keeps about it: handle count, working set, committed memory, threads and CPU time.
//   process_figures NAME.exe
// One line per process:
//   "pid=N handles=N handle_table=N working_set_kib=N committed_kib=N threads=N cpu_ms=N"
// handles is GetProcessHandleCount; handle_table the handle count of the system's process
// list (under Wine the size of the process's handle table, which grows in steps of 32,
// where GetProcessHandleCount answers 0). Exit code 0 when a process was found, 1 otherwise.
#include "unique_handle.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

unsigned long long milliseconds(const FILETIME& t)
{
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return v.QuadPart / 10000;
}

// The handle count that the system's process list gives for a process (0 when not listed).
unsigned long listedHandleCount(DWORD pid)
{
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<NTSTATUS>(0xC0000004)) // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return 0;
    for (size_t offset = 0;;) {
        const auto* p = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
        if (static_cast<DWORD>(reinterpret_cast<uintptr_t>(p->UniqueProcessId)) == pid)
            return p->HandleCount;
        if (p->NextEntryOffset == 0)
            return 0;
        offset += p->NextEntryOffset;
    }
}

void printFigures(const PROCESSENTRY32& entry)
{
    clser::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID));
    DWORD handles = 0;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    FILETIME created{}, ended{}, kernel{}, user{};
    if (process) {
        GetProcessHandleCount(process.get(), &handles);
        GetProcessMemoryInfo(process.get(), &memory, sizeof memory);
        GetProcessTimes(process.get(), &created, &ended, &kernel, &user);
    }
    std::printf("pid=%lu handles=%lu handle_table=%lu working_set_kib=%llu committed_kib=%llu threads=%lu "
                "cpu_ms=%llu\n",
                static_cast<unsigned long>(entry.th32ProcessID), static_cast<unsigned long>(handles),
                listedHandleCount(entry.th32ProcessID), static_cast<unsigned long long>(memory.WorkingSetSize / 1024),
                static_cast<unsigned long long>(memory.PagefileUsage / 1024),
                static_cast<unsigned long>(entry.cntThreads), milliseconds(kernel) + milliseconds(user));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: process_figures NAME.exe\n");
        return 2;
    }
    clser::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        std::fprintf(stderr, "process_figures: no process snapshot (error %lu)\n", GetLastError());
        return 1;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int found = 0;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        if (_stricmp(entry.szExeFile, argv[1]) == 0) {
            printFigures(entry);
            ++found;
        }
    }
    return found > 0 ? 0 : 1;
}
