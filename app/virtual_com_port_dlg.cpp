#include "virtual_com_port_dlg.h"

#include "resource.h"
#include "virtual_port_items.h"

#include <cstdlib>
#include <optional>

namespace clser::app {
namespace {

constexpr char kCaption[] = "Virtual COM Port Control";
// The error box shows at most this many characters of the library's text.
constexpr size_t kLongestErrorText = 511;

} // namespace

CVirtualCOMPortDlg::CVirtualCOMPortDlg() : DialogBase(IDD_VIRTUAL_COM_PORT) {}

void CVirtualCOMPortDlg::setPortEntries(const std::vector<VirtualPair>& entries)
{
    pairList_.clear();
    physicalPortNames_.clear();
    for (const auto& entry : entries) {
        if (!entry.pairId.empty())
            pairList_.push_back(entry);
        else
            physicalPortNames_.push_back(entry.portName);
    }
}

BOOL CVirtualCOMPortDlg::onInitDialog()
{
    SetDlgItemTextA(hwnd(), IDC_VCOM_NUMBER, "1");
    reloadPortBox();
    return TRUE;
}

void CVirtualCOMPortDlg::reloadPortBox()
{
    pairList_.clear();
    pairLibrary_.init(); // reads the installed pairs anew
    const int count = pairLibrary_.pairCount();
    for (int i = 0; i < count; ++i)
        if (const std::optional<VirtualPair> pair = pairLibrary_.pairAt(i))
            pairList_.push_back(*pair);
    HWND box = item(IDC_VCOM_PORTS);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const auto& entry : virtualPortItems(pairList_, physicalPortNames_)) {
        const LRESULT at = SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
        if (at >= 0)
            SendMessageA(box, CB_SETITEMDATA, at, entry.data);
    }
    SendMessageA(box, CB_SETCURSEL, 0, 0);
}

void CVirtualCOMPortDlg::showLibraryError()
{
    const std::string text = pairLibrary_.errorText().value_or("").substr(0, kLongestErrorText);
    messageBox(hwnd(), text, kCaption, MB_OK | MB_ICONEXCLAMATION);
}

void CVirtualCOMPortDlg::install()
{
    const int number = std::atoi(dialogItemText(hwnd(), IDC_VCOM_NUMBER).c_str());
    if (pairLibrary_.checkPortUse(number) != 0) {
        messageBox(hwnd(), "This port number is occupied, please input another number.", kCaption,
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    progress_ = std::make_unique<CMessageDlg>();
    progress_->createModeless(hwnd());
    const int installed = pairLibrary_.install(number);
    progress_->destroyWindow();
    if (installed != 0) {
        messageBox(hwnd(), "A new virtual COM port pair was installed successfully.", kCaption,
                   MB_OK | MB_ICONINFORMATION);
        reloadPortBox();
    } else {
        showLibraryError();
    }
}

void CVirtualCOMPortDlg::remove()
{
    if (messageBox(hwnd(), "Do you really want to remove this virtual COM port pair?", kCaption,
                   MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    HWND box = item(IDC_VCOM_PORTS);
    const LRESULT selected = SendMessageA(box, CB_GETCURSEL, 0, 0);
    std::string text;
    if (selected != CB_ERR) {
        const LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, selected, 0);
        if (length != CB_ERR) {
            std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
            SendMessageA(box, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(buffer.data()));
            text = buffer.data();
        }
    }
    if (!isPairItem(text)) {
        messageBox(hwnd(), "Cannot remove a physical COM port.", kCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const auto number = static_cast<intptr_t>(SendMessageA(box, CB_GETITEMDATA, selected, 0));
    if (pairLibrary_.remove(pairIdOfNumber(number)) == 0) {
        showLibraryError();
        return;
    }
    Sleep(500);
    reloadPortBox();
    const LRESULT still =
        SendMessageA(box, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (still == CB_ERR)
        messageBox(hwnd(), "The virtual COM port pair was removed successfully.", kCaption,
                   MB_OK | MB_ICONINFORMATION);
    else
        messageBox(hwnd(), "Error occurred, cannot remove the COM-port pair.", kCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool CVirtualCOMPortDlg::onCommand(int id, int notifyCode, HWND control)
{
    switch (id) {
    case IDC_VCOM_INSTALL:
        install();
        return true;
    case IDC_VCOM_REMOVE:
        remove();
        return true;
    default:
        return DialogBase::onCommand(id, notifyCode, control);
    }
}

} // namespace clser::app
