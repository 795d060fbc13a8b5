// A small accessibility client for the end-to-end tests, run under Wine beside
// the program: it reads a window's accessible object as a screen reader would
// (AccessibleObjectFromWindow, AccessibleChildren) and prints one UTF-8 line
// per element, tab-separated:
//   self|child  id  role  name  left,top,width,height  state(hex)  default action
//
// acc_client tree   <window title>            the object and its children
// acc_client press  <window title> <name>     accDoDefaultAction on the named child
// acc_client hit    <window title> <x> <y>    the child id under a screen point
// acc_client events <seconds>                 dialog-start, focus and alert events, out of context;
//                                             an alert's line adds its object's role, name and state
//
// Exit code 0 on success, 2 when the window or the child is not found, 3 when
// a call fails (its HRESULT is printed).
#include <windows.h>
// oleacc.h needs windows.h first
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Print(const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                nullptr);
}

std::wstring Hex(long v) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"%08lx", static_cast<unsigned long>(v));
    return buf;
}

VARIANT Child(long id) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// The text a call gave (empty for S_FALSE; "!" and the code for a failure).
std::wstring Text(HRESULT hr, BSTR s) {
    std::wstring out = s ? std::wstring(s, ::SysStringLen(s)) : std::wstring();
    if (FAILED(hr)) out = L"!" + Hex(hr);
    if (s) ::SysFreeString(s);
    return out;
}

std::wstring Describe(IAccessible* acc, long id) {
    const VARIANT child = Child(id);
    BSTR name = nullptr, action = nullptr;
    HRESULT hr = acc->get_accName(child, &name);
    const std::wstring nameText = Text(hr, name);
    hr = acc->get_accDefaultAction(child, &action);
    const std::wstring actionText = Text(hr, action);
    VARIANT role, state;
    ::VariantInit(&role);
    ::VariantInit(&state);
    acc->get_accRole(child, &role);
    acc->get_accState(child, &state);
    long l = 0, t = 0, w = 0, h = 0;
    acc->accLocation(&l, &t, &w, &h, child);
    return std::wstring(id == CHILDID_SELF ? L"self" : L"child") + L"\t" + std::to_wstring(id) + L"\t" +
           std::to_wstring(role.vt == VT_I4 ? role.lVal : -1) + L"\t" + nameText + L"\t" +
           std::to_wstring(l) + L"," + std::to_wstring(t) + L"," + std::to_wstring(w) + L"," +
           std::to_wstring(h) + L"\t" + Hex(state.vt == VT_I4 ? state.lVal : 0) + L"\t" + actionText;
}

HWND WaitForWindow(const wchar_t* title) {
    for (int i = 0; i < 600; ++i) {
        HWND wnd = ::FindWindowW(nullptr, title);
        if (wnd && ::IsWindowVisible(wnd)) return wnd;
        ::Sleep(100);
    }
    return nullptr;
}

// The children as AccessibleChildren gives them: their ids, in order.
long ChildIds(IAccessible* acc, long* ids, long max) {
    long count = 0;
    if (FAILED(acc->get_accChildCount(&count)) || count <= 0) return 0;
    if (count > max) count = max;
    VARIANT children[64];
    long got = 0;
    if (FAILED(::AccessibleChildren(acc, 0, count, children, &got))) return 0;
    long n = 0;
    for (long i = 0; i < got; ++i) {
        if (children[i].vt == VT_I4) ids[n++] = children[i].lVal;
        ::VariantClear(&children[i]);
    }
    return n;
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND wnd, LONG object, LONG child, DWORD, DWORD) {
    wchar_t title[128] = {};
    ::GetWindowTextW(wnd, title, 128);
    const wchar_t* kind = event == EVENT_SYSTEM_DIALOGSTART ? L"dialogstart"
                          : event == EVENT_OBJECT_FOCUS     ? L"focus"
                          : event == EVENT_SYSTEM_ALERT     ? L"alert"
                                                            : L"other";
    std::wstring line = std::wstring(L"event\t") + kind + L"\t" + title + L"\t" + std::to_wstring(object) +
                        L"\t" + std::to_wstring(child);
    // What a screen reader does with an alert: reads the object it names.
    IAccessible* acc = nullptr;
    VARIANT id;
    ::VariantInit(&id);
    if (event == EVENT_SYSTEM_ALERT &&
        SUCCEEDED(::AccessibleObjectFromEvent(wnd, object, child, &acc, &id)) && acc) {
        const std::wstring described = Describe(acc, id.vt == VT_I4 ? id.lVal : CHILDID_SELF);
        line += L"\t" + described.substr(described.find(L'\t', described.find(L'\t') + 1) + 1);
        acc->Release();
        ::VariantClear(&id);
    }
    Print(line);
}

int WatchEvents(int seconds) {
    HWINEVENTHOOK dialog = ::SetWinEventHook(EVENT_SYSTEM_DIALOGSTART, EVENT_SYSTEM_DIALOGSTART, nullptr,
                                             OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    HWINEVENTHOOK focus = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnEvent, 0, 0,
                                            WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    HWINEVENTHOOK alert = ::SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, OnEvent, 0, 0,
                                            WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (!dialog || !focus || !alert) return 3;
    Print(L"watching");
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    ::UnhookWinEvent(dialog);
    ::UnhookWinEvent(focus);
    ::UnhookWinEvent(alert);
    return 0;
}

int Run(int argc, wchar_t** argv) {
    if (argc < 3) return 1;
    const std::wstring command = argv[1];
    if (command == L"events") return WatchEvents(std::wcstol(argv[2], nullptr, 10));

    HWND wnd = WaitForWindow(argv[2]);
    if (!wnd) {
        Print(L"no window");
        return 2;
    }
    IAccessible* acc = nullptr;
    HRESULT hr =
        ::AccessibleObjectFromWindow(wnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&acc));
    if (FAILED(hr) || !acc) {
        Print(L"object\t" + Hex(hr));
        return 3;
    }
    int rc = 0;
    long ids[64];
    const long n = ChildIds(acc, ids, 64);
    if (command == L"tree") {
        Print(Describe(acc, CHILDID_SELF));
        for (long i = 0; i < n; ++i) Print(Describe(acc, ids[i]));
    } else if (command == L"press" && argc >= 4) {
        rc = 2;
        for (long i = 0; i < n; ++i) {
            BSTR name = nullptr;
            hr = acc->get_accName(Child(ids[i]), &name);
            if (Text(hr, name) != argv[3]) continue;
            hr = acc->accDoDefaultAction(Child(ids[i]));
            Print(L"press\t" + std::to_wstring(ids[i]) + L"\t" + Hex(hr));
            rc = SUCCEEDED(hr) ? 0 : 3;
            break;
        }
    } else if (command == L"hit" && argc >= 5) {
        VARIANT hit;
        ::VariantInit(&hit);
        hr = acc->accHitTest(std::wcstol(argv[3], nullptr, 10), std::wcstol(argv[4], nullptr, 10), &hit);
        Print(L"hit\t" + Hex(hr) + L"\t" + std::to_wstring(hit.vt == VT_I4 ? hit.lVal : -1));
        ::VariantClear(&hit);
    } else {
        rc = 1;
    }
    acc->Release();
    return rc;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::CoInitialize(nullptr);
    const int rc = Run(argc, argv);
    ::CoUninitialize();
    return rc;
}
