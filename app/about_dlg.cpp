#include "about_dlg.h"

#include "program_path.h"
#include "resource.h"

#include <vector>

namespace clser::app {
namespace {

constexpr char kBlock[] = "\\StringFileInfo\\040704b0\\";

constexpr char kCom0comNotice[] =
    "com0com: The Null-modem emulator com0com is an open source kernel-mode virtual serial port driver for Windows, "
    "available freely under GPL license.";

} // namespace

CAboutDlg::CAboutDlg(std::string filePath) : DialogBase(IDD_ABOUTBOX), filePath_(std::move(filePath)) {}

BOOL CAboutDlg::onInitDialog()
{
    const std::string path = filePath_.empty() ? modulePath() : filePath_;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return TRUE;
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data()))
        return TRUE;
    const struct {
        const char* key;
        int control;
    } values[] = {{"FileDescription", IDC_ABOUT_DESCRIPTION},
                  {"FileVersion", IDC_ABOUT_VERSION},
                  {"LegalCopyright", IDC_ABOUT_COPYRIGHT}};
    for (const auto& value : values) {
        char* text = nullptr;
        UINT length = 0;
        const std::string key = std::string(kBlock) + value.key;
        // A value the block lacks keeps the template's text.
        if (VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) && text && length > 0)
            SetDlgItemTextA(hwnd(), value.control, std::string(text, strnlen(text, length)).c_str());
    }
    SetDlgItemTextA(hwnd(), IDC_ABOUT_COM0COM, kCom0comNotice);
    return TRUE;
}

} // namespace clser::app
