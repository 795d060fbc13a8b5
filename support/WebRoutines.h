// The program's web traffic: splitting an address into its parts, one HTTP
// POST of a form body, and opening an address in the user's browser. Plain
// functions without state; each blocks the calling thread until it is done
// and reports failure only through its result.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

namespace promo {

// Splits an address with the platform's URL parser. Every part passed (a
// null pointer means "not wanted") is cleared first (port to 0); the parser
// supplies the scheme's default port when the address names none; `extra`
// is the part from "?" or "#" on. False, with the parts left empty, for an
// empty or all-blank address or one the parser refuses.
bool CrackUrl(const std::wstring& address, std::wstring* scheme, std::wstring* host, INTERNET_PORT* port,
              std::wstring* userName, std::wstring* password, std::wstring* path, std::wstring* extra);

// Connect, send and receive time-out of one request. Without a bound a
// server that accepts and never answers would hold the caller forever.
inline constexpr DWORD kHttpRequestTimeoutMs = 30000;

// Posts `body` (converted to the ANSI code page) to the address as a form
// over plain HTTP with the program's fixed header block. True when the
// request went out and an answer arrived, whatever its status; false when any
// step failed or took longer than `timeoutMs` (per connect, send, receive).
bool HttpPostData(const std::wstring& address, const std::wstring& body,
                  DWORD timeoutMs = kHttpRequestTimeoutMs);

// Opens the address in a web browser: the default browser when it is usable
// on this system, else Microsoft Edge (Windows 10 and later), else Internet
// Explorer. True when one attempt was accepted by the shell. The address is
// used as given (only an all-blank one is refused); Internet Explorer gets it
// as one quoted argument, and only when it is an http or https address. When
// the program runs elevated the browser is started at the user's normal level
// through the desktop shell, or not at all: where the shell cannot be reached
// nothing is started and a debug line says so.
bool OpenUrlInBrowser(const std::wstring& address);

// Tests only: how OpenUrlInBrowser sees this process, so that each way of
// starting the browser can be checked from one (elevated) test process.
enum class BrowserStartForTesting {
    asTheSystemSays,          // the token's elevation and the real desktop shell
    notElevated,              // ShellExecuteW in this process
    elevatedWithoutDesktopShell,  // elevated, and the desktop shell cannot be reached
};
void SetBrowserStartForTesting(BrowserStartForTesting start);

}  // namespace promo
