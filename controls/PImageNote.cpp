#include "controls/PImageNote.h"

namespace promo {

TPictureItem* TPictureCollection::Items(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<size_t>(index)].get();
}

TPictureItem& TPictureCollection::Add() {
    items_.push_back(std::make_unique<TPictureItem>());
    items_.back()->Name = L"Picture_" + std::to_wstring(items_.size() - 1);
    return *items_.back();
}

TImageNote::TImageNote() = default;

std::vector<TPicture*> TImageNote::PictureProperties() {
    std::vector<TPicture*> list = TCustomImage::PictureProperties();
    for (int i = 0; i < items_.Count(); ++i) list.push_back(&items_[i]->Picture());
    return list;
}

void TImageNote::SetImageIndex(int v) {
    if (Loading()) {
        imageIndex_ = v;
        return;
    }
    if (v == -1) {
        TPicture empty;
        Picture().Assign(empty);
        imageIndex_ = -1;
    } else if (TPictureItem* item = items_.Items(v)) {
        imageIndex_ = v;
        Picture().Assign(item->Picture());
    }
}

void TImageNote::SetLocked(bool v) {
    locked_ = v;
    if (v) {
        lockedLeft_ = Left();
        lockedTop_ = Top();
        lockedWidth_ = Width();
        lockedHeight_ = Height();
    }
}

void TImageNote::RestoreLockedBounds() {
    if (!locked_) return;
    if (Top() != lockedTop_) SetTop(lockedTop_);
    if (Left() != lockedLeft_) SetLeft(lockedLeft_);
    if (Width() != lockedWidth_) SetWidth(lockedWidth_);
    if (Height() != lockedHeight_) SetHeight(lockedHeight_);
}

}  // namespace promo
