#include "scratch_files.h"

#include "pty_rig.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
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

ScratchTree::ScratchTree(std::string root) : root_(std::move(root))
{
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
    makeDirectories(root_);
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
}

bool ScratchTree::copyInto(const std::string& source, const std::string& relativeTarget) const
{
    const std::string target = path(relativeTarget);
    makeDirectories(target.substr(0, target.rfind('\\')));
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

bool ScratchTree::copyBuildFiles(const std::string& relativeDirectory, std::initializer_list<const char*> files) const
{
    return test::copyBuildFiles(path(relativeDirectory), files);
}

bool ScratchTree::writeFile(const std::string& relative, const std::string& text) const
{
    const std::string target = path(relative);
    makeDirectories(target.substr(0, target.rfind('\\')));
    return writeTextFile(target, text);
}

} // namespace clser::test
