#include "trace_list_sink.h"

#include <memory>

namespace clser::app {

std::string lostTraceLinesNotice(uint32_t lost)
{
    return "(" + std::to_string(lost) + (lost == 1 ? " trace line" : " trace lines") + " lost)";
}

bool TraceListSink::post(HWND dialog, std::string line) const
{
    auto carried = std::make_unique<std::string>(std::move(line));
    if (!PostMessageA(dialog, message_, 0, reinterpret_cast<LPARAM>(carried.get())))
        return false;
    carried.release(); // the dialog's handler owns it now
    return true;
}

void TraceListSink::addLine(std::string line)
{
    HWND dialog = dialog_;
    if (!dialog)
        return;
    const uint32_t lost = lost_.exchange(0);
    if (lost != 0 && !post(dialog, lostTraceLinesNotice(lost))) {
        lost_ += lost + 1;
        return;
    }
    if (!post(dialog, std::move(line)))
        ++lost_;
}

void TraceListSink::showLine(HWND listBox, LPARAM lParam)
{
    std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(lParam));
    if (!line)
        return;
    SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line->c_str()));
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    for (; count > kMaxTraceLines; --count)
        SendMessageA(listBox, LB_DELETESTRING, 0, 0);
    SendMessageA(listBox, LB_SETTOPINDEX, count > 10 ? count - 10 : 0, 0);
}

void TraceListSink::discardQueuedLines(HWND dialog) const
{
    MSG msg;
    while (PeekMessageA(&msg, dialog, message_, message_, PM_REMOVE))
        delete reinterpret_cast<std::string*>(msg.lParam);
}

} // namespace clser::app
