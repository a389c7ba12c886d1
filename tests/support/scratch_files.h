// Files and directories of a test run: the build's bin, the run's scratch areas, whole
// text files, and programs of the build copied into a layout of their own.
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

} // namespace clser::test
