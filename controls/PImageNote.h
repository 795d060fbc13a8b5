// A picture control with a list of named pictures (Items) that shows the one
// selected by ImageIndex. The window keeps one hidden as a picture store.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace promo {

class TImageNote;

class TPictureItem {
public:
    TPictureItem() = default;
    TPictureItem(const TPictureItem&) = delete;
    TPictureItem& operator=(const TPictureItem&) = delete;

    std::wstring Name;
    const std::wstring& DisplayName() const { return Name; }
    TPicture& Picture() { return picture_; }
    void SetPicture(const TPicture& p) { picture_.Assign(p); }
    // Copies only the picture; the name stays.
    void Assign(const TPictureItem& other) { picture_.Assign(other.picture_); }

private:
    TPicture picture_;
};

class TPictureCollection {
public:
    explicit TPictureCollection(TImageNote* owner) : owner_(owner) {}
    TImageNote* Owner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // nullptr outside 0..Count-1.
    TPictureItem* Items(int index) const;
    TPictureItem* operator[](int index) const { return Items(index); }
    // A new item named "Picture_" + its index.
    TPictureItem& Add();
    void Clear() { items_.clear(); }

private:
    TImageNote* owner_;
    std::vector<std::unique_ptr<TPictureItem>> items_;
};

class TImageNote : public TCustomImage {
public:
    TImageNote();
    TPictureCollection& Items() { return items_; }
    // Its own picture and each item's.
    std::vector<TPicture*> PictureProperties() override;
    int ImageIndex() const { return imageIndex_; }
    // -1 clears the picture; 0..Count-1 copies that item's picture (also when
    // the index is unchanged); anything else is ignored. Loading only stores.
    virtual void SetImageIndex(int v);
    bool Locked() const { return locked_; }
    // True remembers the current bounds; false stops restoring.
    virtual void SetLocked(bool v);
    // With Locked: puts back the remembered bounds, each only when it differs.
    virtual void RestoreLockedBounds();

private:
    TPictureCollection items_{this};
    int imageIndex_ = -1;
    bool locked_ = false;
    int lockedLeft_ = 0, lockedTop_ = 0, lockedWidth_ = 0, lockedHeight_ = 0;
};

}  // namespace promo
