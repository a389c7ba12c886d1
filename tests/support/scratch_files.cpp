#include "scratch_files.h"

#include "pty_rig.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace clser::test {

std::string programDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string p = path;
    return p.substr(0, p.rfind('\\'));
}

std::string runDirectory(const std::string& area)
{
    const char* run = std::getenv("CLSER_RUN_DIR");
    const std::string dir = testbed::windowsPathOf(std::string(run ? run : "") + "/" + area);
    makeDirectories(dir);
    return dir;
}

std::string scratchPath(const std::string& fileName)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "clser_" + std::to_string(GetCurrentProcessId()) + "_" + fileName;
}

void makeDirectories(const std::string& path)
{
    for (std::size_t pos = path.find('\\', 3); pos != std::string::npos; pos = path.find('\\', pos + 1))
        CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

bool writeTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

std::string readTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool copyBuildFiles(const std::string& directory, std::initializer_list<const char*> files)
{
    makeDirectories(directory);
    const std::string bin = programDirectory();
    bool copied = true;
    for (const char* file : files)
        copied = CopyFileA((bin + "\\" + file).c_str(), (directory + "\\" + file).c_str(), FALSE) && copied;
    return copied;
}

} // namespace clser::test
