// A thin layer over Win32 dialogs: a dialog object bound to its window, run modally or
// modeless from a template of the program's resources, and the program's message boxes.
#pragma once

#include <windows.h>

#include <string>

namespace clser::app {

// The module whose resources hold the dialog templates, menus, icons and strings.
HINSTANCE resourceInstance();

// The application title: the base name of the program file ("ClserDunmere2").
const std::string& applicationTitle();

// A message box; an empty caption shows the application title. Returns the button chosen.
int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// A string resource; empty when it is missing.
std::string loadResourceString(UINT id);

// Text of a window or control.
std::string windowText(HWND window);
std::string dialogItemText(HWND dialog, int id);

class DialogBase {
public:
    explicit DialogBase(int templateId) : templateId_(templateId) {}
    virtual ~DialogBase();
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // Runs the dialog modally; the result passed to endDialog, or -1 when the window
    // could not be created.
    INT_PTR runModal(HWND parent);
    // Creates the dialog without a loop of its own; false when the window failed.
    bool createModeless(HWND parent);
    // Destroys a modeless dialog's window.
    void destroyWindow();

    HWND hwnd() const { return hwnd_; }
    bool windowExists() const { return hwnd_ != nullptr && IsWindow(hwnd_); }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    int templateId() const { return templateId_; }

protected:
    void endDialog(INT_PTR result);

    // WM_INITDIALOG; the result is the dialog procedure's (TRUE: default focus).
    virtual BOOL onInitDialog() { return TRUE; }
    // WM_COMMAND; true when handled. The default ends the dialog on OK and Cancel.
    virtual bool onCommand(int id, int notifyCode, HWND control);
    // Every message first; set handled to stop the default handling. The result is what
    // the dialog procedure returns for a handled message.
    virtual INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // WM_DESTROY, before the window handle is forgotten.
    virtual void onDestroy() {}

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

} // namespace clser::app
