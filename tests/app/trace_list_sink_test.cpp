// The trace list's hand-over on its own: a window with the dialog's kind of list box
// receives the posted lines on this thread.
#include "app_test_support.h"
#include "trace_list_sink.h"

#include <gtest/gtest.h>

#include <string>

using namespace clser::test;
using clser::app::kMaxTraceLines;
using clser::app::TraceListSink;

namespace {

constexpr UINT kLineMessage = WM_APP + 7;

LRESULT CALLBACK receiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kLineMessage) {
        TraceListSink::showLine(GetWindow(window, GW_CHILD), lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A hidden window holding a list box styled as the main dialog's trace list.
class Receiver {
public:
    Receiver()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = receiverProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TraceListSinkTestReceiver";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        list_ = CreateWindowExA(0, "ListBox", "", WS_CHILD | WS_VSCROLL | LBS_NOSEL | LBS_NOINTEGRALHEIGHT, 0, 0,
                                400, 300, window_, nullptr, wc.hInstance, nullptr);
    }
    ~Receiver() { DestroyWindow(window_); }

    HWND window() const { return window_; }
    HWND list() const { return list_; }
    void pump() const
    {
        MSG msg;
        while (PeekMessageA(&msg, window_, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

private:
    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

TEST(TraceListSink, KeepsTheNewestLinesAndDropsTheOldest)
{
    Receiver receiver;
    ASSERT_TRUE(receiver.list());
    TraceListSink sink(kLineMessage);
    sink.attach(receiver.window());
    const int total = kMaxTraceLines + 5;
    for (int i = 0; i < total; ++i) {
        sink.addLine("line " + std::to_string(i));
        if (i % 1000 == 999)
            receiver.pump();
    }
    receiver.pump();
    const auto lines = listBoxLines(receiver.list());
    ASSERT_EQ(lines.size(), static_cast<size_t>(kMaxTraceLines));
    EXPECT_EQ(lines.front(), "line 5");
    EXPECT_EQ(lines.back(), "line " + std::to_string(total - 1));
    // Still scrolled to the end: the newest line is in view.
    RECT client{}, last{};
    GetClientRect(receiver.list(), &client);
    SendMessageA(receiver.list(), LB_GETITEMRECT, kMaxTraceLines - 1, reinterpret_cast<LPARAM>(&last));
    EXPECT_GE(last.top, client.top);
    EXPECT_LE(last.bottom, client.bottom);
}

TEST(TraceListSink, LinesThatCannotBePostedAreCountedInTheNextOne)
{
    Receiver receiver;
    TraceListSink sink(kLineMessage);
    // A window that has gone takes no posted messages.
    HWND gone = CreateWindowExA(0, "Static", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    sink.attach(gone);
    sink.addLine("first");
    sink.addLine("second");
    sink.attach(receiver.window());
    sink.addLine("third");
    sink.addLine("fourth");
    receiver.pump();
    EXPECT_EQ(listBoxLines(receiver.list()), (std::vector<std::string>{"(2 trace lines lost)", "third", "fourth"}));

    sink.attach(gone);
    sink.addLine("fifth");
    sink.attach(receiver.window());
    sink.addLine("sixth");
    receiver.pump();
    const auto lines = listBoxLines(receiver.list());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], "(1 trace line lost)");
    EXPECT_EQ(lines[4], "sixth");
    sink.detach();
}

} // namespace
