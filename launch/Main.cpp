// The program entry: the one-run-at-a-time guard, the unit initializations
// (library search restriction, the shared product configuration, start-up DPI
// setup), the switch test, the application with its main form and the
// message loop. Every path ends with exit code 0; the normal ends run the unit
// finalizations.
//
// Most starts end in the form's creation handler, at the show decision (the
// marker of an earlier dismissal is there), so nothing before it brings up
// what only the window needs: the display connection, the application's
// hidden window and the warm-up for the window start once the decision is
// past the marker (launch/StartupWarmUp.h) or taken.
#include <windows.h>

#include <optional>

#include "launch/CheckDPIScaled.h"
#include "launch/CommandLine.h"
#include "launch/DllSafety.h"
#include "launch/FocusConstraint.h"
#include "launch/SingleRun.h"
#include "product/AppConfig.h"
#include "promo/FormSaleMain.h"
#include "support/Timeline.h"
#include "ui/Application.h"

namespace {

// The unit initializations and, when the program ends normally, their
// finalizations in reverse order.
struct UnitLifetime {
    UnitLifetime() {
        promo::RestrictDllSearch();  // first: nothing may load a planted library
        promo::ConfigUnitInitialize();
        promo::TimelineMark(L"units");
        promo::StartupDpiSetup();
        promo::TimelineMark(L"dpi-setup");
    }
    ~UnitLifetime() {
        promo::ConfigUnitFinalize();
        // Everything the run writes is closed now. After a Focus.dll that
        // faulted or hung, no code of it may run again, its detach code either.
        if (promo::FocusHookMisbehaved()) promo::TerminateRun();
    }
    UnitLifetime(const UnitLifetime&) = delete;
    UnitLifetime& operator=(const UnitLifetime&) = delete;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#ifdef PROMO_TIMELINE
    promo::SetTimelineSink(&promo::TimelineToDebugOutput);  // the benchmark build only
    promo::TimelineMark(L"entry");
#endif
    const bool hasSwitch = promo::HasSwitch(promo::SplitCommandLine(::GetCommandLineW()), L"/kv");
    // A second run in this session ends here, before the unit initializations
    // (their finalization saves a product setting) and long before the
    // uptime wait. A start without the switch claims nothing: it ends at once
    // anyway and must not turn away a real run started beside it.
    std::optional<promo::TSingleRunLock> singleRun;
    if (hasSwitch) {
        singleRun.emplace(promo::TSingleRunLock::Claim());
        if (singleRun->AnotherRuns()) return 0;
    }
    UnitLifetime units;

    if (!hasSwitch) return 0;

    promo::TApplication& app = promo::Application();
    app.MainFormOnTaskBar = false;
    // The window's show handler hides the task-bar window first thing:
    // showing it before would only flash a task-bar button, at the price of
    // two trips to the display on the way to the window.
    app.ShowTaskBarWindow = false;
    auto form = std::make_unique<promo::TFormSale>();  // may end the program (show decision)
    if (!form->Created()) return 0;                    // a damaged build shows nothing
    // The hidden application window, the form's owner, only now: the first
    // window of a process opens the display connection, which a run that
    // ends at the decision never needs. The form's own window comes later
    // still, with its first show.
    app.Initialize();
    promo::TimelineMark(L"application");
    app.SetMainForm(std::move(form));
    app.Run();
    return 0;
}
