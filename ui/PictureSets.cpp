#include "ui/PictureSets.h"

namespace promo {

int ChoosePictureSet(int dpi) {
    for (int percent : kPictureSetPercents)
        if (dpi <= PictureSetDpi(percent)) return percent;
    return kPictureSetPercents.back();
}

std::wstring PictureSetFile(const std::wstring& file, int percent) {
    if (percent == kPictureSetPercents.front()) return file;
    const std::wstring tag = L"@" + std::to_wstring(percent);
    // The extension is what follows the last dot of the last path element.
    const size_t slash = file.find_last_of(L"/\\");
    const size_t dot = file.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash) || dot == 0 ||
        (slash != std::wstring::npos && dot == slash + 1))
        return file + tag;
    return file.substr(0, dot) + tag + file.substr(dot);
}

}  // namespace promo
