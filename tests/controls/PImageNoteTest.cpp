// The named picture list: generated names, ImageIndex bounds and the copies
// it makes, checked on what the control draws.
#include <gtest/gtest.h>

#include "controls/PImageNote.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::Rgb;
using test::SetSolid;
using test::Surface;

std::uint32_t Drawn(TImageNote& n) {
    Surface s(60, 20, Rgb(1, 2, 3));
    s.Paint(n);
    return s.At(0, 0);
}

struct Note : ::testing::Test {
    TImageNote note;
    void SetUp() override {
        note.SetAutoSize(true);
        SetSolid(note.Items().Add().Picture(), 34, 16, Rgb(255, 208, 0));
        SetSolid(note.Items().Add().Picture(), 51, 16, Rgb(255, 0, 255));
    }
};

TEST_F(Note, NewItemsAreNamedByTheirIndex) {
    EXPECT_EQ(note.Items()[0]->Name, L"Picture_0");
    EXPECT_EQ(note.Items()[1]->DisplayName(), L"Picture_1");
    EXPECT_EQ(note.Items()[2], nullptr);
    EXPECT_EQ(note.Items()[-1], nullptr);
    EXPECT_EQ(note.Items().Owner(), &note);
}

TEST_F(Note, ImageIndexShowsACopyOfTheItemsPicture) {
    EXPECT_EQ(note.ImageIndex(), -1);
    EXPECT_TRUE(note.Picture().Empty());
    note.SetImageIndex(1);
    EXPECT_EQ(note.Width(), 51);  // AutoSize follows the picture
    EXPECT_EQ(Drawn(note), Rgb(255, 0, 255));
    // Changing the item afterwards does not change what is shown ...
    SetSolid(note.Items()[1]->Picture(), 51, 16, Rgb(0, 0, 255));
    EXPECT_EQ(Drawn(note), Rgb(255, 0, 255));
    // ... until the index is set again, even to the same value.
    note.SetImageIndex(1);
    EXPECT_EQ(Drawn(note), Rgb(0, 0, 255));
}

TEST_F(Note, OutOfRangeIndexesChangeNothingAndMinusOneClears) {
    note.SetImageIndex(0);
    note.SetImageIndex(2);  // one past the end
    EXPECT_EQ(note.ImageIndex(), 0);
    EXPECT_EQ(Drawn(note), Rgb(255, 208, 0));
    note.SetImageIndex(-5);
    EXPECT_EQ(note.ImageIndex(), 0);
    note.SetImageIndex(-1);
    EXPECT_EQ(note.ImageIndex(), -1);
    EXPECT_TRUE(note.Picture().Empty());
    EXPECT_EQ(Drawn(note), Rgb(1, 2, 3));
    EXPECT_FALSE(note.Items()[0]->Picture().Empty());  // the items keep theirs
}

TEST_F(Note, WhileLoadingTheIndexIsOnlyStored) {
    note.BeginLoading();
    note.SetImageIndex(7);
    EXPECT_EQ(note.ImageIndex(), 7);
    EXPECT_TRUE(note.Picture().Empty());
    note.EndLoading();
}

TEST_F(Note, AssigningAnItemCopiesOnlyThePicture) {
    TPictureItem& first = *note.Items()[0];
    first.Name = L"badge";
    first.Assign(*note.Items()[1]);
    EXPECT_EQ(first.Name, L"badge");
    EXPECT_EQ(first.Picture().Width(), 51);
}

TEST_F(Note, LockedPutsBackTheRememberedBounds) {
    note.SetBounds(336, 32, 51, 16);
    note.SetLocked(true);
    note.SetBounds(10, 10, 5, 5);
    note.RestoreLockedBounds();
    EXPECT_EQ(note.BoundsRect(), TRect::FromSize(336, 32, 51, 16));
    note.SetLocked(false);
    note.SetBounds(10, 10, 5, 5);
    note.RestoreLockedBounds();
    EXPECT_EQ(note.BoundsRect(), TRect::FromSize(10, 10, 5, 5));
}

}  // namespace
}  // namespace promo
