// The application object: the hidden application window (which carries the
// task-bar button while MainFormOnTaskBar is false), the main form, the
// message loop and ProcessMessages. One per process, reached as Application().
#pragma once

#include <windows.h>

#include <memory>

namespace promo {

// What the application needs of its main form.
class TMainForm {
public:
    virtual ~TMainForm() = default;
    virtual HWND Handle() const = 0;
    // Makes the form visible for the first time (runs its show handler).
    virtual void ShowAsMainForm() = 0;
};

class TApplication {
public:
    TApplication() = default;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;
    ~TApplication();

    // Registers the window class and creates the hidden application window.
    void Initialize();
    HWND Handle() const { return handle_; }

    bool MainFormOnTaskBar = false;
    bool ShowMainForm = true;
    // Whether Run shows the application window (while MainFormOnTaskBar is
    // false) before the main form.
    bool ShowTaskBarWindow = true;

    // Takes ownership of the main form, which has been constructed (its
    // creation handler has run).
    void SetMainForm(std::unique_ptr<TMainForm> form);
    TMainForm* MainForm() const { return mainForm_.get(); }

    // Dispatches every pending message and returns.
    void ProcessMessages();
    // Shows the application window (see ShowTaskBarWindow) and the main
    // form, then runs the message loop until the main form is closed
    // (Terminate).
    void Run();
    // Ends the message loop.
    void Terminate();
    bool Terminated() const { return terminated_; }

private:
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    HWND handle_ = nullptr;
    std::unique_ptr<TMainForm> mainForm_;
    bool terminated_ = false;
};

TApplication& Application();

// Ends the program at once with exit code 0: the main form (if any) is told
// to close, then the process terminates (TerminateRun). Does not return.
[[noreturn]] void EndProgramNow();

// Ends the process with `exitCode` by TerminateProcess: no library's
// DLL_PROCESS_DETACH code runs, and no other thread is waited for. The run's
// end after a library of another product faulted or hung in it, once
// everything the run writes is closed (ExitProcess would run that library's
// detach code, and could wait for ever on the loader lock a hung thread
// holds). The system closes the process's handles, the single-run mutex's
// among them. Does not return.
[[noreturn]] void TerminateRun(unsigned exitCode = 0);

}  // namespace promo
