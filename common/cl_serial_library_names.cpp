#include "cl_serial_library_names.h"

#include "cl_serial_api.h"
#include "letter_case.h"
#include "line_rates.h"

#include <algorithm>

namespace clser {

bool isOwnClSerialLibrary(std::string_view fileName)
{
    return fileName.empty() || lowerCase(fileName) == kOwnClSerialLibrary;
}

bool sameClSerialLibrary(std::string_view a, std::string_view b)
{
    if (isOwnClSerialLibrary(a) || isOwnClSerialLibrary(b))
        return isOwnClSerialLibrary(a) && isOwnClSerialLibrary(b);
    return lowerCase(a) == lowerCase(b);
}

bool isClSerialLibraryFileName(std::string_view fileName)
{
    const std::string lower = lowerCase(fileName);
    return lower.size() > 9 && lower.compare(0, 5, "clser") == 0 && lower.compare(lower.size() - 4, 4, ".dll") == 0;
}

std::vector<std::string> otherMakerLibraries(std::vector<std::string> fileNames)
{
    fileNames.erase(std::remove_if(fileNames.begin(), fileNames.end(),
                                   [](const std::string& n) {
                                       return !isClSerialLibraryFileName(n) || isOwnClSerialLibrary(n);
                                   }),
                    fileNames.end());
    std::sort(fileNames.begin(), fileNames.end(),
              [](const std::string& a, const std::string& b) { return lowerCase(a) < lowerCase(b); });
    return fileNames;
}

std::string clLibraryNameProblem(std::string_view fileName)
{
    if (fileName.find_first_of("\\/:") != std::string_view::npos)
        return "a path instead of a file name";
    // What Windows allows in no file name; a quote would also split the bridge program's
    // command line.
    const bool forbidden = std::any_of(fileName.begin(), fileName.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 || std::string_view("\"<>|?*").find(c) != std::string_view::npos;
    });
    if (forbidden || fileName == "." || fileName == "..")
        return "not a file name";
    return "";
}

uint32_t probedPortCount(const std::function<int32_t(uint32_t)>& init)
{
    uint32_t index = 0;
    while (index < kProbedPortIndices && init(index) != CL_ERR_INVALID_INDEX)
        ++index;
    return index;
}

std::string supportedRatesText(uint32_t baudRateMask)
{
    std::string text;
    for (const LineRate& r : kLineRates)
        if (baudRateMask & static_cast<uint32_t>(r.clBaudCode))
            text += (text.empty() ? "" : ", ") + std::string(r.text);
    return text.empty() ? "none" : text;
}

std::string otherMakerPortName(std::string_view maker, uint32_t portNumber)
{
    return std::string(maker) + " port " + std::to_string(portNumber);
}

std::string makerNameOfBuffer(std::string_view buffer)
{
    buffer = buffer.substr(0, buffer.find('\0'));
    while (!buffer.empty() && (buffer.front() == ' ' || buffer.front() == '\t'))
        buffer.remove_prefix(1);
    while (!buffer.empty() && (buffer.back() == ' ' || buffer.back() == '\t' || buffer.back() == '\r' ||
                               buffer.back() == '\n'))
        buffer.remove_suffix(1);
    return std::string(buffer);
}

} // namespace clser
