#include "message_dlg.h"

#include "resource.h"

namespace clser::app {
namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerPeriodMs = 2000;

} // namespace

CMessageDlg::CMessageDlg() : DialogBase(IDD_MESSAGE) {}

BOOL CMessageDlg::onInitDialog()
{
    SetDlgItemTextA(hwnd(), IDC_MESSAGE_TEXT, "Installing, please wait...");
    timer_ = SetTimer(hwnd(), kTimerId, kTimerPeriodMs, nullptr);
    return TRUE;
}

INT_PTR CMessageDlg::onMessage(UINT message, WPARAM, LPARAM, bool& handled)
{
    handled = false;
    if (message == WM_TIMER) {
        // The dots move only while messages are handled, which a running install prevents.
        SetDlgItemTextA(hwnd(), IDC_MESSAGE_TEXT, "Installing, please wait.,");
        Sleep(500);
        SetDlgItemTextA(hwnd(), IDC_MESSAGE_TEXT, "Installing, please wait...");
        Sleep(500);
        SetDlgItemTextA(hwnd(), IDC_MESSAGE_TEXT, "Installing, please wait.");
        Sleep(500);
    }
    return FALSE;
}

void CMessageDlg::onDestroy()
{
    if (timer_) {
        KillTimer(hwnd(), timer_);
        timer_ = 0;
    }
}

} // namespace clser::app
