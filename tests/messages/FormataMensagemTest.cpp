#include "common/QtPrinters.h"
#include "messages/FormataMensagem.h"

#include <gtest/gtest.h>

using messages::FormataMensagem;

TEST(FormataMensagem, FillsPlaceholdersInOrder)
{
    EXPECT_EQ(FormataMensagem("A @ B @", 2, "1", "22"), "A 1 B 22");
    EXPECT_EQ(FormataMensagem("Livro @ na unidade @:", 2, "INGLES 1", "X"), "Livro INGLES 1 na unidade X:");
}

TEST(FormataMensagem, QtdParamDecidesHowManyAreFilled)
{
    EXPECT_EQ(FormataMensagem("A @ B", 0, "x"), "A @ B");
    EXPECT_EQ(FormataMensagem("@ @ @", 1, "x", "y"), "x @ @");
    // More parameters asked for than placeholders: the text keeps its end.
    EXPECT_EQ(FormataMensagem("A @ end", 3, "x", "y", "z"), "A x end");
}

// Parameters past the fifth are never inserted: the sixth "@" stays.
TEST(FormataMensagem, SixthPlaceholderStays)
{
    EXPECT_EQ(FormataMensagem("@@@@@@", 6, "1", "2", "3", "4", "5"), "12345@");
    EXPECT_EQ(FormataMensagem("a@b@c@d@e@f@g", 6, "1", "2", "3", "4", "5"), "a1b2c3d4e5f@g");
}

// An empty parameter shortens the text, so the placeholder right after it is
// passed over and the search restarts from the front next time.
TEST(FormataMensagem, EmptyParameterSkipsTheNextPlaceholder)
{
    EXPECT_EQ(FormataMensagem("@@", 2, "", "Y"), "@");
    EXPECT_EQ(FormataMensagem("@@", 3, "", "Y", "Z"), "Z");
}

// The next search starts one past the old position, inside a longer value, so a
// value holding "@" is filled again by the next parameter.
TEST(FormataMensagem, ValueWithAtSignIsFilledAgain)
{
    EXPECT_EQ(FormataMensagem("@ and @", 2, "a@b", "Z"), "aZb and @");
    EXPECT_EQ(FormataMensagem("[@] @", 2, "user@host", "X"), "[userXhost] @");
}
