#include "system_tray.h"

#include "resource.h"
#include "tray_rectangle.h"

#include <algorithm>
#include <cstring>

namespace clser::app {
namespace {

constexpr char kTrayClassName[] = "TrayIconClass";
// What the icon is added with; later changes set only the field they change.
constexpr UINT kAddedFields = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// One tray object per process; its hidden window finds it here.
CSystemTray* g_tray = nullptr;
UINT g_taskbarCreated = 0;
HWND g_hiddenOwner = nullptr;

#ifndef _WIN64
static_assert(sizeof(NOTIFYICONDATAA) == 508, "the shell's full notification record");
#endif

void copyText(char* target, size_t capacity, std::string_view text)
{
    const size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(target, text.data(), n);
    target[n] = '\0';
}

bool windowAnimationOn()
{
    ANIMATIONINFO info{};
    info.cbSize = sizeof info;
    return SystemParametersInfoA(SPI_GETANIMATION, sizeof info, &info, 0) && info.iMinAnimate != 0;
}

} // namespace

CSystemTray::CSystemTray()
{
    nid_.cbSize = sizeof nid_;
    g_tray = this;
}

CSystemTray::~CSystemTray()
{
    destroy();
    if (ownIcon_)
        DestroyIcon(ownIcon_);
    if (g_tray == this)
        g_tray = nullptr;
}

bool CSystemTray::create(HINSTANCE instance, HWND owner, UINT callbackMessage, const std::string& tooltip,
                         HICON icon, UINT iconId)
{
    enabled_ = true;
    instance_ = instance;

    if (!g_taskbarCreated)
        g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = hiddenWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kTrayClassName;
    RegisterClassA(&wc); // fails harmlessly when the class is already there
    hiddenWindow_ = CreateWindowExA(0, kTrayClassName, "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);

    nid_.hWnd = owner ? owner : hiddenWindow_;
    nid_.uID = iconId;
    nid_.hIcon = icon;
    nid_.uCallbackMessage = callbackMessage;
    copyText(nid_.szTip, sizeof nid_.szTip, tooltip);
    target_ = owner;
    wantShown_ = true;
    return addIcon();
}

bool CSystemTray::addIcon()
{
    nid_.uFlags = kAddedFields;
    const bool added = Shell_NotifyIconA(NIM_ADD, &nid_) != FALSE;
    hidden_ = removed_ = addPending_ = !added;
    return added;
}

bool CSystemTray::setIcon(UINT resourceId)
{
    if (!enabled_)
        return false;
    HICON icon = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(resourceId), IMAGE_ICON, 0, 0, 0));
    if (!icon)
        return false;
    nid_.uFlags = NIF_ICON;
    nid_.hIcon = icon;
    const bool ok = hidden_ || Shell_NotifyIconA(NIM_MODIFY, &nid_) != FALSE;
    // The shell keeps its own copy; ours stays for a later re-add and goes with the next.
    if (ownIcon_)
        DestroyIcon(ownIcon_);
    ownIcon_ = icon;
    iconResource_ = resourceId;
    return ok;
}

bool CSystemTray::setTooltipText(std::string_view text)
{
    if (!enabled_)
        return false;
    nid_.uFlags = NIF_TIP;
    copyText(nid_.szTip, kMaxTooltipLength + 1, text);
    return hidden_ || Shell_NotifyIconA(NIM_MODIFY, &nid_) != FALSE;
}

void CSystemTray::prepareMenu(HMENU popup, bool connected, bool echo)
{
    EnableMenuItem(popup, ID_TRAY_CONNECT, MF_BYCOMMAND | (connected ? MF_GRAYED : MF_ENABLED));
    EnableMenuItem(popup, ID_TRAY_DISCONNECT, MF_BYCOMMAND | (connected ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(popup, ID_TRAY_ECHO, MF_BYCOMMAND | (echo ? MF_CHECKED : MF_UNCHECKED));
}

LRESULT CSystemTray::onTrayNotification(WPARAM iconId, LPARAM mouseMessage)
{
    if (!enabled_ || iconId != nid_.uID || !targetWindow())
        return 0;
    switch (LOWORD(mouseMessage)) {
    case WM_RBUTTONUP:
        showPopupMenu();
        break;
    case WM_LBUTTONDBLCLK:
        SetForegroundWindow(nid_.hWnd);
        PostMessageA(targetWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
        break;
    default:
        break;
    }
    return 1;
}

void CSystemTray::showPopupMenu()
{
    HMENU menu = LoadMenuA(instance_, MAKEINTRESOURCEA(nid_.uID));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup) {
        prepareMenu(popup, trayConnected_, trayEcho_);
        SetMenuDefaultItem(popup, 0, TRUE); // the first item is the default
        POINT cursor{};
        GetCursorPos(&cursor);
        SetForegroundWindow(nid_.hWnd);
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, targetWindow(), nullptr);
        PostMessageA(nid_.hWnd, WM_NULL, 0, 0);
    }
    DestroyMenu(menu);
}

void CSystemTray::destroy()
{
    if (enabled_ && !removed_) {
        nid_.uFlags = 0;
        Shell_NotifyIconA(NIM_DELETE, &nid_);
    }
    removed_ = hidden_ = true;
    wantShown_ = false;
    if (hiddenWindow_) {
        DestroyWindow(hiddenWindow_);
        hiddenWindow_ = nullptr;
    }
}

LRESULT CALLBACK CSystemTray::hiddenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A re-created taskbar has lost every icon: a shown one is added again.
    if (message == g_taskbarCreated && g_taskbarCreated != 0 && g_tray && g_tray->wantShown_)
        g_tray->addIcon();
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void hideToTray(HWND window)
{
    if (windowAnimationOn()) {
        RECT from{};
        GetWindowRect(window, &from);
        const RECT to = trayRectangle();
        DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
    }
    // A hidden owner takes the window's taskbar button away. It goes with the thread that
    // made it, so a later user-interface thread makes its own.
    if (!g_hiddenOwner || !IsWindow(g_hiddenOwner))
        g_hiddenOwner = CreateWindowExA(0, "Static", "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (g_hiddenOwner)
        SetParent(window, g_hiddenOwner);
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) & ~WS_VISIBLE);
}

void restoreFromTray(HWND window)
{
    if (windowAnimationOn()) {
        RECT to{};
        GetWindowRect(window, &to);
        SetParent(window, nullptr);
        const RECT from = trayRectangle();
        DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
    } else {
        SetParent(window, nullptr);
    }
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_VISIBLE);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE | RDW_UPDATENOW);
    if (g_hiddenOwner && IsWindow(g_hiddenOwner))
        SetActiveWindow(g_hiddenOwner);
    SetActiveWindow(window);
    SetForegroundWindow(window);
}

} // namespace clser::app
