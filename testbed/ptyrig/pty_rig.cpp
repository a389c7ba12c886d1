#include "pty_rig.h"

#include "unique_handle.h"

#include <windows.h>
#include <winternl.h>

#include <cstdlib>
#include <vector>

extern "C" {
NTSTATUS NTAPI NtCreateSymbolicLinkObject(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PUNICODE_STRING);
NTSTATUS NTAPI NtOpenSymbolicLinkObject(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
NTSTATUS NTAPI NtMakeTemporaryObject(HANDLE);
}

namespace clser::testbed {
namespace {

using clser::UniqueHandle;

constexpr ACCESS_MASK kSymbolicLinkAllAccess = 0xF0001;

std::string envOrEmpty(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::wstring widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

bool fileExists(const std::string& windowsPath)
{
    return GetFileAttributesA(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ptyPairScript() { return envOrEmpty("CLSER_TESTBED") + "/pty-pair"; }

std::string lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

std::string windowsPathOf(const std::string& linuxPath)
{
    std::string out = "Z:";
    for (char c : linuxPath)
        out += (c == '/') ? '\\' : c;
    return out;
}

bool runLinuxCommand(const std::string& commandLine, const std::string& doneFile, unsigned timeoutMs)
{
    // Wine does not hand back a waitable handle for a Linux process, so completion
    // is signalled by a file that the command leaves behind.
    std::string line = "Z:\\bin\\sh -c \"" + commandLine + "\"";
    std::vector<char> buf(line.begin(), line.end());
    buf.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA("Z:\\bin\\sh", buf.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &si, &pi))
        return false;
    UniqueHandle process(pi.hProcess);
    UniqueHandle thread(pi.hThread);
    const std::string done = windowsPathOf(doneFile);
    for (unsigned waited = 0; waited <= timeoutMs; waited += 20) {
        if (fileExists(done))
            return true;
        Sleep(20);
    }
    return false;
}

bool registerDosDeviceName(const std::string& name)
{
    std::wstring full = L"\\??\\" + widen(name);
    std::wstring target = L"\\Device\\PtyRig\\" + widen(name);
    UNICODE_STRING uname{static_cast<USHORT>(full.size() * 2), static_cast<USHORT>(full.size() * 2),
                         full.data()};
    UNICODE_STRING utarget{static_cast<USHORT>(target.size() * 2), static_cast<USHORT>(target.size() * 2),
                           target.data()};
    OBJECT_ATTRIBUTES oa;
    InitializeObjectAttributes(&oa, &uname, OBJ_PERMANENT | OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    UniqueHandle link;
    NTSTATUS st = NtCreateSymbolicLinkObject(link.put(), kSymbolicLinkAllAccess, &oa, &utarget);
    if (st < 0)
        return st == static_cast<NTSTATUS>(0xC0000035); // already there: STATUS_OBJECT_NAME_COLLISION
    return true;
}

bool unregisterDosDeviceName(const std::string& name)
{
    std::wstring full = L"\\??\\" + widen(name);
    UNICODE_STRING uname{static_cast<USHORT>(full.size() * 2), static_cast<USHORT>(full.size() * 2),
                         full.data()};
    OBJECT_ATTRIBUTES oa;
    InitializeObjectAttributes(&oa, &uname, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    UniqueHandle link;
    if (NtOpenSymbolicLinkObject(link.put(), DELETE | kSymbolicLinkAllAccess, &oa) < 0)
        return false;
    NtMakeTemporaryObject(link.get());
    return true;
}

bool createPtyPair(const std::string& nameA, const std::string& nameB, std::string* error)
{
    const std::string prefix = envOrEmpty("WINEPREFIX");
    if (prefix.empty() || envOrEmpty("CLSER_TESTBED").empty()) {
        if (error)
            *error = "WINEPREFIX and CLSER_TESTBED must be set";
        return false;
    }
    const std::string pids = prefix + "/ptyrig/pair-" + lower(nameA) + ".pids";
    DeleteFileA(windowsPathOf(pids).c_str());
    const std::string cmd = "'" + ptyPairScript() + "' create '" + prefix + "' " + nameA + " " + nameB;
    if (!runLinuxCommand(cmd, pids, 10000)) {
        if (error)
            *error = "pty-pair did not create " + nameA + "/" + nameB;
        return false;
    }
    if (!registerDosDeviceName(nameA) || !registerDosDeviceName(nameB)) {
        if (error)
            *error = "cannot register the device names of " + nameA + "/" + nameB;
        destroyPtyPair(nameA, nameB);
        return false;
    }
    return true;
}

void destroyPtyPair(const std::string& nameA, const std::string& nameB)
{
    unregisterDosDeviceName(nameA);
    unregisterDosDeviceName(nameB);
    const std::string prefix = envOrEmpty("WINEPREFIX");
    const std::string marker = prefix + "/ptyrig/pair-" + lower(nameA) + ".destroyed";
    const std::string cmd = "'" + ptyPairScript() + "' destroy '" + prefix + "' " + nameA + " " + nameB +
                            " && touch '" + marker + "'";
    runLinuxCommand(cmd, marker, 10000);
    DeleteFileA(windowsPathOf(marker).c_str());
}

bool runPtyPairCommand(const std::string& subcommand, const std::string& name)
{
    const std::string prefix = envOrEmpty("WINEPREFIX");
    if (prefix.empty() || envOrEmpty("CLSER_TESTBED").empty())
        return false;
    const std::string marker = prefix + "/ptyrig/" + subcommand + "-" + lower(name) + ".done";
    DeleteFileA(windowsPathOf(marker).c_str());
    const std::string cmd =
        "'" + ptyPairScript() + "' " + subcommand + " '" + prefix + "' " + name + " && touch '" + marker + "'";
    const bool ok = runLinuxCommand(cmd, marker, 15000);
    DeleteFileA(windowsPathOf(marker).c_str());
    return ok;
}

ScopedPtyPair::ScopedPtyPair(std::string nameA, std::string nameB)
    : nameA_(std::move(nameA)), nameB_(std::move(nameB))
{
    ok_ = createPtyPair(nameA_, nameB_, &error_);
}

ScopedPtyPair::~ScopedPtyPair()
{
    if (ok_)
        destroyPtyPair(nameA_, nameB_);
}

} // namespace clser::testbed
