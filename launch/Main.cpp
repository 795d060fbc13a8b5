// The program entry: the unit initializations (library search restriction,
// start-up DPI setup), the switch test, the application with its main form
// and the message loop. Every path ends with exit code 0.
#include <windows.h>

#include "launch/CheckDPIScaled.h"
#include "launch/CommandLine.h"
#include "launch/DllSafety.h"
#include "promo/FormSaleMain.h"
#include "ui/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    promo::RestrictDllSearch();
    promo::StartupDpiSetup();

    if (!promo::HasSwitch(promo::SplitCommandLine(::GetCommandLineW()), L"/kv")) return 0;

    promo::TApplication& app = promo::Application();
    app.Initialize();
    app.MainFormOnTaskBar = false;
    app.SetMainForm(std::make_unique<promo::TFormSale>());
    app.Run();
    return 0;
}
