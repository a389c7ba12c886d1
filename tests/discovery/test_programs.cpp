#include "test_programs.h"

#include "child_process.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <filesystem>
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
    return test::writeTextFile(target, text);
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment)
{
    std::vector<std::string> env = environmentWithout({"TARVDIR5_32", "TARVDIR5", "CLSER_SDK_CONFIG"});
    for (const auto& [name, value] : environment)
        env.push_back(name + "=" + value);
    test::ProgramStart start;
    start.program = program;
    for (const auto& line : env) {
        start.environment += line;
        start.environment += '\0';
    }
    start.environment += '\0';
    for (const auto& a : arguments)
        start.arguments += (start.arguments.empty() ? "" : " ") + quoteArgument(a);
    start.creationFlags = CREATE_NO_WINDOW;

    const test::ProgramRun finished = test::runProgram(start, 30000, true);
    ProgramRun run;
    run.started = finished.started;
    run.exitCode = finished.exitCode;
    run.lines = test::splitLines(finished.output);
    return run;
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
