// The form of the sample window description (tests/data/forms/Sample.txt):
// the handlers it names, counting what they are asked to do.
#pragma once

#include <string>

#include "controls/RdLabel.h"
#include "ui/Form.h"

namespace promo::test {

class TSampleForm : public TForm {
public:
    TSampleForm() : TForm(L"TSampleForm") {
        RegisterHandler(L"FormCreate", this, &TSampleForm::FormCreate);
        RegisterHandler(L"FormShow", this, &TSampleForm::FormShow);
        RegisterHandler(L"btnBuyClick", this, &TSampleForm::btnBuyClick);
        RegisterHandler(L"shpMouseDown", this, &TSampleForm::shpMouseDown);
        RegisterHandler(L"shpMouseMove", this, &TSampleForm::shpMouseMove);
        RegisterHandler(L"shpContextPopup", this, &TSampleForm::shpContextPopup);
        RegisterEventHandler(L"anyShowHint", THintEvent([this](TControl*, std::wstring& hint, bool&) {
                                 hint = L"from the handler";
                                 ++hintsShown;
                             }));
        RegisterEventHandler(L"anyDragDrop", TDragDropEvent([](TControl*, TComponent*, int, int) {}));
        RegisterEventHandler(L"anyDragOver",
                             TDragOverEvent([](TControl*, TComponent*, int, int, TDragState, bool&) {}));
        RegisterEventHandler(L"anyEndDrag", TEndDragEvent([](TControl*, TComponent*, int, int) {}));
        RegisterEventHandler(L"anyStartDrag", TStartDragEvent([](TControl*, TComponent*&) {}));
    }
    void FormCreate(TControl*) {
        ++created;
        handleAtCreate = Handle() != nullptr;
        // Every control exists and was Loaded before the creation handler.
        labelWidthAtCreate = FindChild<TRdLabel>(L"lblTitle")->Width();
    }
    void FormShow(TControl*) { ++shown; }
    void btnBuyClick(TControl*) { ++buyClicks; }
    void shpMouseDown(TControl*, TMouseButton, TShiftState, int, int) { ++shapeDowns; }
    void shpMouseMove(TControl*, TShiftState, int, int) {}
    void shpContextPopup(TControl*, TPoint, bool&) {}

    int created = 0, shown = 0, buyClicks = 0, shapeDowns = 0, labelWidthAtCreate = 0, hintsShown = 0;
    bool handleAtCreate = false;
};

}  // namespace promo::test
