// Files and directories of a test run: the build's bin, the run's scratch areas, whole
// text files, and trees that lay out programs of the build as an installation does.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace clser::test {

// Directory of the running test program (the build's bin), no trailing backslash.
std::string programDirectory();
// <CLSER_RUN_DIR>\<area> as a Windows path, created when absent.
std::string runDirectory(const std::string& area);
// A path for a scratch file of this test program (in the Windows temporary directory).
std::string scratchPath(const std::string& fileName);

// Creates the directory and every one above it.
void makeDirectories(const std::string& path);
bool writeTextFile(const std::string& path, const std::string& text);
// A file's whole content ("" when it does not exist).
std::string readTextFile(const std::string& path);
bool fileExists(const std::string& path);
// The lines of a text, each without its line end (LF or CR LF).
std::vector<std::string> splitLines(const std::string& text);

// Copies files of the build's bin into a directory (created when absent); false when one
// of them could not be copied.
bool copyBuildFiles(const std::string& directory, std::initializer_list<const char*> files);

// A directory tree of a test, such as programs laid out as on a user's machine: its root
// is emptied when the tree is made and removed with everything in it when the tree goes.
class ScratchTree {
public:
    explicit ScratchTree(std::string root);
    ~ScratchTree();
    ScratchTree(const ScratchTree&) = delete;
    ScratchTree& operator=(const ScratchTree&) = delete;

    const std::string& root() const { return root_; }
    // root\relative.
    std::string path(const std::string& relative) const { return root_ + "\\" + relative; }
    // Copies a file into the tree (its directory is created); false on failure.
    bool copyInto(const std::string& source, const std::string& relativeTarget) const;
    // Copies files of the build's bin into a directory of the tree, keeping their names.
    bool copyBuildFiles(const std::string& relativeDirectory, std::initializer_list<const char*> files) const;
    bool writeFile(const std::string& relative, const std::string& text) const;

private:
    std::string root_;
};

} // namespace clser::test
