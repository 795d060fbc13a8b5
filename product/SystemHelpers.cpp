#include "product/SystemHelpers.h"

#include "ui/Application.h"

namespace promo {

void EndProgramNow() {
    TApplication& app = Application();
    app.ShowMainForm = false;
    if (TMainForm* form = app.MainForm()) {
        if (HWND wnd = form->Handle()) ::SendMessageW(wnd, WM_CLOSE, 0, 0);
    }
    ::TerminateProcess(::GetCurrentProcess(), 0);
    ::ExitProcess(0);  // not reached unless termination was refused
}

DateTimeValue NowLocal() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return EncodeDateValue(st.wYear, st.wMonth, st.wDay) +
           EncodeTimeValue(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

DateTimeValue TodayLocal() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return EncodeDateValue(st.wYear, st.wMonth, st.wDay);
}

}  // namespace promo
