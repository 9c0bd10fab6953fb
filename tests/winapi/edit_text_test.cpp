// The text model of edit boxes: the limit, the selection, deleting.
#include "dialog/edit_control.h"

#include <gtest/gtest.h>

using winapi::dialog::EditText;

namespace {

TEST(EditText, InsertionStopsAtTheLimitAndSaysHowMuchWasLeftOut) {
    EditText edit;
    edit.set_limit(3);
    EXPECT_EQ(edit.replace_selection("12"), 0u);
    EXPECT_EQ(edit.replace_selection("345"), 2u);
    EXPECT_EQ(edit.text(), "123");
    EXPECT_EQ(edit.caret(), 3u);
    EXPECT_EQ(edit.replace_selection("4"), 1u);
    edit.select(0, 3);
    EXPECT_EQ(edit.replace_selection("9"), 0u) << "a replaced selection makes room";
    EXPECT_EQ(edit.text(), "9");
}

TEST(EditText, SetTextIsNotBoundByTheLimit) {
    EditText edit;
    edit.set_limit(2);
    edit.set_text("longer");
    EXPECT_EQ(edit.text(), "longer");
    EXPECT_EQ(edit.caret(), 0u);
    edit.move_caret(6, false);
    EXPECT_EQ(edit.replace_selection("x"), 1u);
}

TEST(EditText, SelectionAndDeleting) {
    EditText edit;
    edit.set_text("abcdef");
    edit.select(4, 1);
    EXPECT_EQ(edit.selection_start(), 1u);
    EXPECT_EQ(edit.selection_end(), 4u);
    EXPECT_EQ(edit.caret(), 1u);
    EXPECT_TRUE(edit.erase_backward());
    EXPECT_EQ(edit.text(), "aef");
    EXPECT_TRUE(edit.erase_forward());
    EXPECT_EQ(edit.text(), "af");
    edit.move_caret(0, false);
    EXPECT_FALSE(edit.erase_backward());
    edit.move_caret(99, true);
    EXPECT_EQ(edit.selection_end(), 2u) << "positions past the end mean the end";
    EXPECT_FALSE(EditText().erase_forward());
}

} // namespace
