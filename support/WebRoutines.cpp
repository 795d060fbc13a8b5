#include "support/WebRoutines.h"

#include <exdisp.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "support/ComApartment.h"
#include "support/DebugOutput.h"
#include "support/Handles.h"
#include "support/OsVersion.h"
#include "support/RequestTarget.h"
#include "support/SystemFunctions.h"

namespace promo {
namespace {

bool IsBlank(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c > L' ') return false;
    }
    return true;
}

// ---------------------------------------------------------------- HTTP POST

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string ansi(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), bytes, nullptr, nullptr);
    return ansi;
}

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Invalid() noexcept { return nullptr; }
    // Only handles WinInet gave are ever held, so its close function is there.
    static void Close(Handle h) noexcept { WinInet().InternetCloseHandle(h); }
};
using UniqueInternetHandle = UniqueResource<InternetHandleTraits>;

// The three WinInet handles of one request, closed request first, then the
// connection, then the session, however the request ends.
struct RequestHandles {
    UniqueInternetHandle session;
    UniqueInternetHandle connection;
    UniqueInternetHandle request;

    RequestHandles() = default;
    RequestHandles(const RequestHandles&) = delete;
    RequestHandles& operator=(const RequestHandles&) = delete;
    ~RequestHandles() {
        request.reset();
        connection.reset();
        session.reset();
    }
};

void SetRequestTimeouts(HINTERNET request, DWORD timeoutMs) {
    // On the request handle: set on the session they are not honoured everywhere.
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD value = timeoutMs;
        WinInet().InternetSetOptionW(request, option, &value, sizeof value);
    }
}

// ---------------------------------------------------------- browser launch

// Owner of one COM interface pointer.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComRef& operator=(ComRef&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

class OwnedBstr {
public:
    // Only made once OleAut32().Complete() was checked.
    explicit OwnedBstr(const std::wstring& text)
        : b_(OleAut32().SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~OwnedBstr() { OleAut32().SysFreeString(b_); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    BSTR get() const { return b_; }

private:
    BSTR b_;
};

VARIANT BstrVariant(const OwnedBstr& text) {
    VARIANT v{};  // VT_EMPTY, as VariantInit leaves it
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = text.get();  // borrowed: never cleared
    return v;
}

std::atomic<BrowserStartForTesting> browserStartForTesting{BrowserStartForTesting::asTheSystemSays};

bool ProcessIsElevated() {
    if (browserStartForTesting == BrowserStartForTesting::notElevated) return false;
    if (browserStartForTesting == BrowserStartForTesting::elevatedWithoutDesktopShell) return true;
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    UniqueHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
        return false;
    return elevation.TokenIsElevated != 0;
}

// The desktop shell's own ShellExecute: reached through the desktop's folder
// view, it starts programs in the shell's process and so at the level of the
// signed-in user rather than at ours.
ComRef<IShellDispatch2> DesktopShellDispatch() {
    ComRef<IShellWindows> windows;
    if (FAILED(Ole32().CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                        windows.put_void())))
        return {};
    VARIANT location{};
    V_VT(&location) = VT_I4;
    V_I4(&location) = CSIDL_DESKTOP;
    VARIANT empty{};
    LONG desktopWindow = 0;
    ComRef<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &empty, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                              desktop.put()) != S_OK ||
        !desktop)
        return {};
    ComRef<IServiceProvider> services;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.put_void()))) return {};
    ComRef<IShellBrowser> browser;
    if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())))
        return {};
    ComRef<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.put())) || !view) return {};
    ComRef<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void()))) return {};
    ComRef<IShellFolderViewDual> folderView;
    if (FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void()))) return {};
    ComRef<IDispatch> application;
    if (FAILED(folderView->get_Application(application.put())) || !application) return {};
    ComRef<IShellDispatch2> shell;
    if (FAILED(application->QueryInterface(IID_IShellDispatch2, shell.put_void()))) return {};
    return shell;
}

// Starts a file with the "open" verb (SW_SHOWNORMAL, no folder). Elevated,
// it goes through the desktop shell only: a browser started by this process
// would run as administrator, and under over-the-shoulder elevation as
// another account. When the shell cannot be reached, or stops answering,
// nothing is started.
class ShellLauncher {
public:
    ShellLauncher() : elevated_(ProcessIsElevated()) {
        if (!elevated_ || browserStartForTesting == BrowserStartForTesting::elevatedWithoutDesktopShell ||
            !Ole32().Complete() || !OleAut32().Complete())
            return;
        apartment_.emplace();
        if (apartment_->Usable()) desktop_ = DesktopShellDispatch();
    }
    ~ShellLauncher() {
        desktop_.reset();  // before the apartment is left
        apartment_.reset();
    }
    ShellLauncher(const ShellLauncher&) = delete;
    ShellLauncher& operator=(const ShellLauncher&) = delete;

    bool Open(const std::wstring& file, const std::wstring& parameters) {
        if (elevated_) return OpenUnelevated(file, parameters);
        const auto shellExecute = Shell32().ShellExecuteW;
        if (!shellExecute) return false;
        const HINSTANCE result =
            shellExecute(nullptr, L"open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                         nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(result) > 32;
    }

private:
    bool OpenUnelevated(const std::wstring& file, const std::wstring& parameters) {
        if (desktop_) {
            const HRESULT hr = OpenThroughDesktop(file, parameters);
            // S_FALSE: the shell ran the attempt and refused it.
            if (SUCCEEDED(hr)) return hr == S_OK;
            // Any other failure is the shell refusing this attempt. A failed
            // call means the shell's process is gone: nothing was started.
            if (HRESULT_FACILITY(hr) != FACILITY_RPC && hr != RPC_E_DISCONNECTED &&
                hr != HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) &&
                hr != HRESULT_FROM_WIN32(RPC_S_CALL_FAILED))
                return false;
            desktop_.reset();
        }
        if (!reported_) {
            DebugOut(L"OpenUrl no desktop shell: no browser started from the elevated program");
            reported_ = true;
        }
        return false;
    }

    HRESULT OpenThroughDesktop(const std::wstring& file, const std::wstring& parameters) {
        const OwnedBstr fileText(file), parametersText(parameters), folderText(L""), verbText(L"open");
        VARIANT show{};
        V_VT(&show) = VT_I4;
        V_I4(&show) = SW_SHOWNORMAL;
        return desktop_->ShellExecute(fileText.get(), BstrVariant(parametersText), BstrVariant(folderText),
                                      BstrVariant(verbText), show);
    }

    const bool elevated_;
    bool reported_ = false;
    std::optional<ScopedComApartment> apartment_;
    ComRef<IShellDispatch2> desktop_;
};

// A text value of a key opened read-only (REG_SZ or REG_EXPAND_SZ, unexpanded,
// up to its first NUL); empty when the key or value is missing or of another type.
std::wstring ReadRegistryText(HKEY root, const std::wstring& path, const wchar_t* name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return {};
    UniqueRegKey key(raw);
    std::vector<wchar_t> buffer(256);
    for (int tries = 0; tries < 4; ++tries) {
        DWORD type = 0;
        DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LONG status = ::RegQueryValueExW(key.get(), name, nullptr, &type,
                                               reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        if (status == ERROR_MORE_DATA) {
            buffer.resize(bytes / sizeof(wchar_t) + 2);
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
        const size_t count = std::min<size_t>(bytes / sizeof(wchar_t), buffer.size());
        std::wstring text(buffer.data(), count);
        const size_t nul = text.find(L'\0');
        if (nul != std::wstring::npos) text.resize(nul);
        return text;
    }
    return {};
}

bool KeyExists(HKEY root, const wchar_t* path) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
    UniqueRegKey key(raw);
    return true;
}

// On 6.2 and 6.3 the default browser is trusted only when the user's http
// choice is complete and its program has an open command.
bool UserChoiceIsComplete() {
    const std::wstring choice =
        L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
    const std::wstring progId = ReadRegistryText(HKEY_CURRENT_USER, choice, L"ProgId");
    const std::wstring hash = ReadRegistryText(HKEY_CURRENT_USER, choice, L"Hash");
    if (progId.empty() || hash.empty()) return false;
    return !ReadRegistryText(HKEY_CLASSES_ROOT, progId + L"\\shell\\open\\command", nullptr).empty();
}

// Software whose presence on Windows 10 makes the default browser unsafe to hand the address to.
bool DefaultBrowserDisplacedBySoftware() {
    static const wchar_t* const kKeys[] = {
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\360TotalSecurity",
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MPC AdCleaner",
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MPC",
    };
    for (const wchar_t* key : kKeys) {
        if (KeyExists(HKEY_LOCAL_MACHINE, key)) return true;
    }
    return false;
}

bool DefaultBrowserUsable(const OsVersion& version) {
    // The minor number is tested on its own: 10.0 skips the association check.
    bool usable = version.major < 6 || version.minor < 2 || UserChoiceIsComplete();
    if (usable && version.major >= 10 && version.build >= 10586 && DefaultBrowserDisplacedBySoftware())
        usable = false;
    return usable;
}

std::wstring InternetExplorerPath() {
    const auto folderLocation = Shell32().SHGetSpecialFolderLocation;
    const auto pathFromList = Shell32().SHGetPathFromIDListW;
    if (!folderLocation || !pathFromList) return {};
    LPITEMIDLIST list = nullptr;
    if (FAILED(folderLocation(nullptr, CSIDL_PROGRAM_FILES, &list)) || !list) return {};
    wchar_t folder[MAX_PATH] = {};
    const BOOL ok = pathFromList(list, folder);
    // The shell's item lists are COM task memory (ole32 is loaded with shell32).
    if (auto free = Ole32().CoTaskMemFree) free(list);
    if (!ok || folder[0] == L'\0') return {};
    std::wstring path = folder;
    if (path.back() != L'\\') path += L'\\';
    return path + L"Internet Explorer\\iexplore.exe";
}

// Internet Explorer takes its address from a command line: only web
// addresses go there, never a file or another program's protocol.
bool IsWebAddress(const std::wstring& address) {
    for (const std::wstring_view scheme : {std::wstring_view(L"http://"), std::wstring_view(L"https://")}) {
        if (address.size() <= scheme.size()) continue;
        bool same = true;
        for (size_t i = 0; i < scheme.size() && same; ++i) same = std::towlower(address[i]) == scheme[i];
        if (same) return true;
    }
    return false;
}

// The address as one quoted command-line argument. A quote inside becomes
// its URL escape, so it cannot end the argument; backslashes before the
// closing quote are doubled, so they cannot escape it.
std::wstring QuotedArgument(const std::wstring& address) {
    std::wstring quoted = L"\"";
    for (wchar_t c : address) {
        if (c == L'"')
            quoted += L"%22";
        else
            quoted += c;
    }
    size_t trailing = 0;
    while (trailing < address.size() && address[address.size() - 1 - trailing] == L'\\') ++trailing;
    quoted.append(trailing, L'\\');
    return quoted + L"\"";
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool CrackUrl(const std::wstring& address, std::wstring* scheme, std::wstring* host, INTERNET_PORT* port,
              std::wstring* userName, std::wstring* password, std::wstring* path, std::wstring* extra) {
    for (std::wstring* part : {scheme, host, userName, password, path, extra}) {
        if (part) part->clear();
    }
    if (port) *port = 0;
    if (IsBlank(address)) return false;

    // No part can be longer than the whole address.
    const DWORD capacity = static_cast<DWORD>(address.size() + 1);
    std::vector<wchar_t> schemeBuf(capacity), hostBuf(capacity), userBuf(capacity), passwordBuf(capacity),
        pathBuf(capacity), extraBuf(capacity);
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszScheme = schemeBuf.data();
    parts.dwSchemeLength = capacity;
    parts.lpszHostName = hostBuf.data();
    parts.dwHostNameLength = capacity;
    parts.lpszUserName = userBuf.data();
    parts.dwUserNameLength = capacity;
    parts.lpszPassword = passwordBuf.data();
    parts.dwPasswordLength = capacity;
    parts.lpszUrlPath = pathBuf.data();
    parts.dwUrlPathLength = capacity;
    parts.lpszExtraInfo = extraBuf.data();
    parts.dwExtraInfoLength = capacity;
    if (!WinInet().Complete()) return false;
    if (!WinInet().InternetCrackUrlW(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts))
        return false;

    if (scheme) scheme->assign(schemeBuf.data(), parts.dwSchemeLength);
    if (host) host->assign(hostBuf.data(), parts.dwHostNameLength);
    if (port) *port = parts.nPort;
    if (userName) userName->assign(userBuf.data(), parts.dwUserNameLength);
    if (password) password->assign(passwordBuf.data(), parts.dwPasswordLength);
    if (path) path->assign(pathBuf.data(), parts.dwUrlPathLength);
    if (extra) extra->assign(extraBuf.data(), parts.dwExtraInfoLength);
    return true;
}

bool HttpPostData(const std::wstring& address, const std::wstring& body, DWORD timeoutMs) {
    std::wstring host, path, extra;
    INTERNET_PORT port = 0;
    if (!CrackUrl(address, nullptr, &host, &port, nullptr, nullptr, &path, &extra)) return false;
    // HttpOpenRequestW puts the object name into the request line; Windows
    // is not documented to escape or trim it (only Wine's WinInet does, by
    // UrlCanonicalizeW), so the target arrives here without a raw blank. The
    // referrer below stays the address as given.
    const std::wstring target = HttpRequestTarget(path, extra);
    std::string data = ToAnsi(body);

    RequestHandles handles;
    const WinInetFunctions& net = WinInet();  // complete: CrackUrl checked
    handles.session.reset(net.InternetOpenW(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!handles.session) return false;
    handles.connection.reset(net.InternetConnectW(handles.session.get(), host.c_str(), port, nullptr, nullptr,
                                                  INTERNET_SERVICE_HTTP, 0, 0));
    if (!handles.connection) return false;
    handles.request.reset(net.HttpOpenRequestW(handles.connection.get(), L"POST", target.c_str(), L"HTTP/1.1",
                                               address.c_str(), nullptr, INTERNET_FLAG_RELOAD, 0));
    if (!handles.request) return false;
    SetRequestTimeouts(handles.request.get(), timeoutMs);

    // The Host line names the port when the address does.
    const std::wstring headers = HttpPostHeaders(address, host, data.size());
    net.HttpAddRequestHeadersW(handles.request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                               HTTP_ADDREQ_FLAG_ADD);
    return net.HttpSendRequestW(handles.request.get(), nullptr, 0, data.empty() ? nullptr : data.data(),
                                static_cast<DWORD>(data.size())) != FALSE;
}

bool OpenUrlInBrowser(const std::wstring& address) {
    if (IsBlank(address)) return false;
    const OsVersion& version = ReportedOsVersion();
    ShellLauncher shell;

    bool opened = false;
    if (DefaultBrowserUsable(version)) opened = shell.Open(address, L"");
    if (!opened && version.major >= 10) opened = shell.Open(L"microsoft-edge:" + address, L"");
    if (!opened && IsWebAddress(address)) {
        const std::wstring explorer = InternetExplorerPath();
        if (!explorer.empty() && FileExists(explorer)) opened = shell.Open(explorer, QuotedArgument(address));
    }
    return opened;
}

void SetBrowserStartForTesting(BrowserStartForTesting start) { browserStartForTesting = start; }

}  // namespace promo
