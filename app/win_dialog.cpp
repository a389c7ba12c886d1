#include "win_dialog.h"

#include "program_path.h"

#include <vector>

namespace clser::app {

HINSTANCE resourceInstance() { return GetModuleHandleA(nullptr); }

const std::string& applicationTitle()
{
    static const std::string title = [] {
        std::string name = modulePath();
        const auto slash = name.find_last_of("\\/");
        if (slash != std::string::npos)
            name.erase(0, slash + 1);
        const auto dot = name.rfind('.');
        if (dot != std::string::npos)
            name.erase(dot);
        return name;
    }();
    return title;
}

int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    const std::string& shown = caption.empty() ? applicationTitle() : caption;
    return MessageBoxA(owner, text.c_str(), shown.c_str(), type);
}

std::string loadResourceString(UINT id)
{
    char text[512] = {};
    const int length = LoadStringA(resourceInstance(), id, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string windowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), length + 1);
    return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

std::string dialogItemText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }

DialogBase::~DialogBase()
{
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

INT_PTR DialogBase::runModal(HWND parent)
{
    modal_ = true;
    const INT_PTR result = DialogBoxParamA(resourceInstance(), MAKEINTRESOURCEA(templateId_), parent, dialogProc,
                                           reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

bool DialogBase::createModeless(HWND parent)
{
    modal_ = false;
    return CreateDialogParamA(resourceInstance(), MAKEINTRESOURCEA(templateId_), parent, dialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void DialogBase::destroyWindow()
{
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

void DialogBase::endDialog(INT_PTR result)
{
    if (!hwnd_)
        return;
    if (modal_)
        EndDialog(hwnd_, result);
    else
        DestroyWindow(hwnd_);
}

bool DialogBase::onCommand(int id, int, HWND)
{
    if (id == IDOK || id == IDCANCEL) {
        endDialog(id);
        return true;
    }
    return false;
}

INT_PTR DialogBase::onMessage(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = false;
    return FALSE;
}

INT_PTR CALLBACK DialogBase::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogBase*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
    }
    if (!self)
        return FALSE;
    return self->dispatch(message, wParam, lParam);
}

INT_PTR DialogBase::dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool handled = false;
    const INT_PTR result = onMessage(message, wParam, lParam, handled);
    if (handled)
        return result;
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog();
    case WM_COMMAND:
        return onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_DESTROY:
        onDestroy();
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        hwnd_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace clser::app
