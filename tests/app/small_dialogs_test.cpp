// The about dialog, the progress dialog and the tray icon object on their own.
#include "about_dlg.h"
#include "app_test_support.h"
#include "app_version.h"
#include "dialog_harness.h"
#include "message_dlg.h"
#include "resource.h"
#include "system_tray.h"

#include <gtest/gtest.h>

using namespace clser::test;
using clser::app::CAboutDlg;
using clser::app::CMessageDlg;
using clser::app::CSystemTray;

namespace {

std::string caption(HWND window)
{
    char text[128] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(AboutDialog, ShowsNameVersionAndNoticesFromTheVersionResource)
{
    Instrumented<CAboutDlg> dlg;
    ModalRun<CAboutDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    EXPECT_EQ(caption(dlg.hwnd()), "About ClserDunmere");
    EXPECT_EQ(controlText(dlg.hwnd(), IDC_ABOUT_DESCRIPTION), "ClserDunmere2");
    EXPECT_EQ(controlText(dlg.hwnd(), IDC_ABOUT_VERSION), CLSER_VERSION_TEXT);
    EXPECT_EQ(controlText(dlg.hwnd(), IDC_ABOUT_COPYRIGHT), "Copyright (C) 2026 ClserDunmere project");
    EXPECT_EQ(controlText(dlg.hwnd(), IDC_ABOUT_COM0COM),
              "com0com: The Null-modem emulator com0com is an open source kernel-mode virtual serial port driver for "
              "Windows, available freely under GPL license.");
    PostMessageA(dlg.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(run.waitDone(10000));
}

TEST(AboutDialog, FileWithoutVersionInformationKeepsTheTemplateTexts)
{
    const std::string plain = runDirectory("app") + "\\no-version.txt";
    writeTextFile(plain, "no version here");
    Instrumented<CAboutDlg> dlg(plain);
    ModalRun<CAboutDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    EXPECT_EQ(controlText(dlg.hwnd(), IDC_ABOUT_DESCRIPTION), "ClserDunmere");
    EXPECT_EQ(controlText(dlg.hwnd(), IDC_ABOUT_VERSION), "123");
    EXPECT_EQ(controlText(dlg.hwnd(), IDC_ABOUT_COM0COM), "com0com");
}

TEST(ProgressDialog, SaysThatTheInstallationRuns)
{
    CMessageDlg progress;
    ASSERT_TRUE(progress.createModeless(nullptr));
    EXPECT_EQ(caption(progress.hwnd()), "Information");
    EXPECT_EQ(controlText(progress.hwnd(), IDC_MESSAGE_TEXT), "Installing, please wait...");
    EXPECT_TRUE(IsWindowVisible(progress.hwnd())) << "its template makes it visible";
    progress.destroyWindow();
    EXPECT_FALSE(progress.windowExists());
}

TEST(SystemTray, TooltipIsCutTo127CharactersAndTheIconFollows)
{
    HWND owner = CreateWindowExA(0, "Static", "tray owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    {
        CSystemTray tray;
        ASSERT_TRUE(tray.create(GetModuleHandleA(nullptr), owner, WM_TRAY_NOTIFY, std::string(200, 't'),
                                LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_NOT_CONNECTED)),
                                IDR_TRAY_MENU));
        EXPECT_EQ(tray.tooltipText(), std::string(127, 't'));
        EXPECT_FALSE(tray.hidden());
        EXPECT_FALSE(tray.addPending());
        EXPECT_NE(tray.hiddenWindow(), nullptr);
        char className[64] = {};
        GetClassNameA(tray.hiddenWindow(), className, sizeof className);
        EXPECT_STREQ(className, "TrayIconClass");

        EXPECT_TRUE(tray.setTooltipText(std::string(300, 'u')));
        EXPECT_EQ(tray.tooltipText(), std::string(127, 'u'));
        EXPECT_TRUE(tray.setIcon(IDI_CONNECTED));
        EXPECT_EQ(tray.iconResource(), static_cast<UINT>(IDI_CONNECTED));
        EXPECT_EQ(tray.onTrayNotification(IDR_TRAY_MENU + 1, WM_RBUTTONUP), 0) << "another icon's message";
        EXPECT_EQ(tray.onTrayNotification(IDR_TRAY_MENU, WM_MOUSEMOVE), 1);
        tray.destroy();
        EXPECT_TRUE(tray.removed());
    }
    DestroyWindow(owner);
}

TEST(SystemTray, MenuPreparationFollowsConnectionAndEcho)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuItemCount(popup), 12);
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(ID_TRAY_SHOW));
    EXPECT_EQ(GetMenuItemID(popup, 11), static_cast<UINT>(ID_TRAY_EXIT));
    const struct {
        bool connected;
        bool echo;
    } rows[] = {{false, false}, {true, true}, {true, false}, {false, true}};
    for (const auto& r : rows) {
        CSystemTray::prepareMenu(popup, r.connected, r.echo);
        EXPECT_EQ(menuItemEnabled(popup, ID_TRAY_CONNECT), !r.connected);
        EXPECT_EQ(menuItemEnabled(popup, ID_TRAY_DISCONNECT), r.connected);
        EXPECT_EQ(menuItemChecked(popup, ID_TRAY_ECHO), r.echo);
    }
    DestroyMenu(menu);
}

} // namespace
