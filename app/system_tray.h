// The program's icon in the notification area: icon, tooltip and popup menu, and the
// moves of a window into the tray and back.
#pragma once

#include "status_texts.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

namespace clser::app {

class CSystemTray {
public:
    CSystemTray();
    ~CSystemTray();
    CSystemTray(const CSystemTray&) = delete;
    CSystemTray& operator=(const CSystemTray&) = delete;

    // Creates the hidden window and adds the icon. False when the icon could not be
    // shown (the program then goes on without it).
    bool create(HINSTANCE instance, HWND owner, UINT callbackMessage, const std::string& tooltip, HICON icon,
                UINT iconId);

    void setTargetWindow(HWND target) { target_ = target; }
    HWND targetWindow() const { return target_ ? target_ : nid_.hWnd; }

    // Loads an icon of the program's resources at its own size and shows it.
    bool setIcon(UINT resourceId);
    bool setTooltipText(std::string_view text);

    // The callback message's two parameters: the icon id and the mouse message.
    LRESULT onTrayNotification(WPARAM iconId, LPARAM mouseMessage);

    // Takes the icon out of the shell and destroys the hidden window.
    void destroy();

    void setConnected(bool connected) { trayConnected_ = connected; }
    void setEcho(bool echo) { trayEcho_ = echo; }
    bool connected() const { return trayConnected_; }
    bool echo() const { return trayEcho_; }

    bool hidden() const { return hidden_; }
    bool removed() const { return removed_; }
    bool addPending() const { return addPending_; }
    std::string tooltipText() const { return nid_.szTip; }
    UINT iconResource() const { return iconResource_; }
    HWND hiddenWindow() const { return hiddenWindow_; }
    UINT iconId() const { return nid_.uID; }

    // Enables Connect or Disconnect and sets the Echo check mark of the tray menu.
    static void prepareMenu(HMENU popup, bool connected, bool echo);

private:
    static LRESULT CALLBACK hiddenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool addIcon();
    void showPopupMenu();

    NOTIFYICONDATAA nid_{};
    bool enabled_ = false;
    bool hidden_ = true;
    bool removed_ = true;
    bool addPending_ = false;
    bool wantShown_ = false;
    HINSTANCE instance_ = nullptr;
    HWND hiddenWindow_ = nullptr;
    HWND target_ = nullptr;
    HICON ownIcon_ = nullptr;
    UINT iconResource_ = 0;
    bool trayConnected_ = false;
    bool trayEcho_ = false;
};

// The window goes into the tray: animated towards it, no taskbar button, not visible.
void hideToTray(HWND window);
// And comes back: animated from the tray, visible, active, in the foreground.
void restoreFromTray(HWND window);

} // namespace clser::app
