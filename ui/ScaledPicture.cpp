#include "ui/ScaledPicture.h"

namespace promo {

// For now the design set only, at its own size.
std::shared_ptr<const TBitmapImage> PictureForDpi(const TPictureSource& source, const std::wstring& file, int) {
    std::vector<std::uint8_t> stream;
    if (!source || !source(file, stream)) return nullptr;
    TPicture picture;
    if (!picture.LoadFromStream(stream.data(), stream.size())) return nullptr;
    return picture.Graphic();
}

}  // namespace promo
