#include "virtual_com_port_dlg.h"

#include "TarvVirtualComPort.h"
#include "resource.h"
#include "virtual_port_items.h"

#include <cstdlib>
#include <cstring>

namespace clser::app {
namespace {

constexpr char kCaption[] = "Virtual COM Port Control";
constexpr size_t kPairTextSize = TARVVCOM_PAIR_TEXT_SIZE;
constexpr size_t kErrorTextSize = 512;

std::string pairText(const char (&buffer)[kPairTextSize]) { return std::string(buffer, strnlen(buffer, kPairTextSize)); }

} // namespace

CVirtualCOMPortDlg::CVirtualCOMPortDlg() : DialogBase(IDD_VIRTUAL_COM_PORT) {}

void CVirtualCOMPortDlg::setPortEntries(const std::vector<discovery::PortEntry>& entries)
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
    TarvVComInit(); // reads the installed pairs anew
    const int count = TarvVComGetCOMPairCount();
    for (int i = 0; i < count; ++i) {
        char pairId[kPairTextSize] = {};
        char portName[kPairTextSize] = {};
        char partnerName[kPairTextSize] = {};
        if (TarvVComGetOneCOMPair(i, pairId, portName, partnerName) == 0)
            continue;
        pairList_.push_back({pairText(pairId), pairText(portName), pairText(partnerName)});
    }
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
    char text[kErrorTextSize] = {};
    TarvVComGetErrorDescription(text);
    text[kErrorTextSize - 1] = '\0';
    messageBox(hwnd(), text, kCaption, MB_OK | MB_ICONEXCLAMATION);
}

void CVirtualCOMPortDlg::install()
{
    const int number = std::atoi(dialogItemText(hwnd(), IDC_VCOM_NUMBER).c_str());
    if (TarvVComCheckPortUse(number) != 0) {
        messageBox(hwnd(), "This port number is occupied, please input another number.", kCaption,
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    progress_ = std::make_unique<CMessageDlg>();
    progress_->createModeless(hwnd());
    const int installed = TarvVComInstall(number);
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
    if (TarvVComRemove(pairIdOfNumber(number).c_str()) == 0) {
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
