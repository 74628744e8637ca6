#include "messages/FormataMensagem.h"
#include "common/QtPrinters.h"

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

// An empty parameter empties its placeholder and takes nothing from the next.
TEST(FormataMensagem, EmptyParameterFillsOnlyItsPlaceholder)
{
    EXPECT_EQ(FormataMensagem("@@", 2, "", "Y"), "Y");
    EXPECT_EQ(FormataMensagem("@@", 3, "", "Y", "Z"), "Y");
    EXPECT_EQ(FormataMensagem("[@][@]", 2, "", ""), "[][]");
}

// A value is inserted as it is: an "@" in it is no placeholder, whatever
// parameters follow.
TEST(FormataMensagem, ValueWithAtSignIsInsertedAsItIs)
{
    EXPECT_EQ(FormataMensagem("Pasta: #@|\nUnidade: #@|", 2, "C:\\D\\a@b", "X:"),
              "Pasta: #C:\\D\\a@b|\nUnidade: #X:|");
    EXPECT_EQ(FormataMensagem("@ and @", 2, "a@b", "Z"), "a@b and Z");
    EXPECT_EQ(FormataMensagem("[@] @", 2, "user@host", "X"), "[user@host] X");
    // A value that is nothing but placeholders, and more parameters than the
    // text has placeholders: the later ones find no "@" of the value either.
    EXPECT_EQ(FormataMensagem("@-@", 4, "@@", "@", "x", "y"), "@@-@");
    EXPECT_EQ(FormataMensagem("@", 3, "@", "x", "y"), "@");
    // The sixth placeholder stays even when an earlier value brought its own "@".
    EXPECT_EQ(FormataMensagem("@@@@@@", 6, "a@", "2", "3", "4", "5"), "a@2345@");
}
