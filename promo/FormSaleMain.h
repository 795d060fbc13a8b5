// The promotion window (TFormSale): the program's only form.
#pragma once

#include <string>

#include "ui/Application.h"

namespace promo {

class TFormSale : public TMainForm {
public:
    // Runs the creation handler, which may end the program.
    TFormSale();

    HWND Handle() const override { return handle_; }
    void ShowAsMainForm() override;

    // Creation handler: DPI request, uptime wait, language code, decision.
    void FormCreate();

    std::wstring LanguageCode = L"EN";

private:
    HWND handle_ = nullptr;
};

}  // namespace promo
