#include "profile_file.h"

#include <windows.h>

#include <vector>

namespace clser::profile {

std::string sectionName(int number) { return "connection" + std::to_string(number); }

ProfileFile::ProfileFile(std::string configPath, int number) : path_(std::move(configPath)), section_(sectionName(number))
{
}

std::string ProfileFile::text(const char* key, int bufferSize, const char* fallback, bool* tooLong) const
{
    std::vector<char> buf(static_cast<std::size_t>(bufferSize), '\0');
    const DWORD length = GetPrivateProfileStringA(section_.c_str(), key, fallback, buf.data(),
                                                  static_cast<DWORD>(bufferSize), path_.c_str());
    if (tooLong)
        *tooLong = length >= static_cast<DWORD>(bufferSize - 1);
    return std::string(buf.data(), length);
}

int ProfileFile::number(const char* key, int fallback) const
{
    return static_cast<int>(GetPrivateProfileIntA(section_.c_str(), key, fallback, path_.c_str()));
}

ProfileRead readProfile(const std::string& configPath, int number, std::string_view programDirectory)
{
    return readProfile(ProfileFile(configPath, number), number, programDirectory);
}

void writeKeys(const std::string& configPath, int number, const std::vector<KeyValue>& keys)
{
    const ProfileFile file(configPath, number);
    const std::string section = sectionName(number);
    for (const KeyValue& k : keys) {
        if (k.onlyOverAValue && file.text(k.key, kValueBufferSize, "").empty())
            continue;
        WritePrivateProfileStringA(section.c_str(), k.key, k.value.c_str(), configPath.c_str());
    }
}

} // namespace clser::profile
