// The configuration file's sections as the profile reads and writes them, through the
// Windows profile functions.
#pragma once

#include "connection_profile.h"

#include <string>
#include <vector>

namespace clser::profile {

// "connection<number>".
std::string sectionName(int number);

// A section of the configuration file.
class ProfileFile : public SectionReader {
public:
    ProfileFile(std::string configPath, int number);
    std::string text(const char* key, int bufferSize, const char* fallback, bool* tooLong = nullptr) const override;
    int number(const char* key, int fallback) const override;

private:
    std::string path_;
    std::string section_;
};

// Section connection<number> of the file.
ProfileRead readProfile(const std::string& configPath, int number, std::string_view programDirectory);

// Writes the keys into section connection<number>; a key written only over a value is
// left out when the section has none.
void writeKeys(const std::string& configPath, int number, const std::vector<KeyValue>& keys);

} // namespace clser::profile
