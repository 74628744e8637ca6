#include "launcher/Launcher.h"

#include <gtest/gtest.h>

using namespace launcher;

TEST(Launcher, ArgumentIsEverythingAfterTheProgramUpperCased)
{
    EXPECT_EQ(argument("C:\\Apps\\LoadZEKOV.EXE x:"), "X:");
    EXPECT_EQ(argument("\"C:\\Program Files\\ZEKO\\LoadZEKOV.EXE\" x:"), "X:");
    EXPECT_EQ(argument("LoadZEKOV.EXE"), "");
    EXPECT_EQ(argument("\"C:\\a b\\LoadZEKOV.EXE\"   "), "");
    EXPECT_EQ(argument("LoadZEKOV.EXE  y: extra"), "Y: EXTRA");
}

TEST(Launcher, OnlyALetterAndAColonIsADrive)
{
    EXPECT_TRUE(validDrive("X:"));
    EXPECT_TRUE(validDrive(" x: "));
    EXPECT_EQ(driveOf(" x: "), "X:");
    EXPECT_FALSE(validDrive("X"));
    EXPECT_FALSE(validDrive("XY"));
    EXPECT_FALSE(validDrive("1:"));
    EXPECT_FALSE(validDrive("X:\\"));
    EXPECT_FALSE(validDrive("Y: EXTRA"));
}

TEST(Launcher, LanguageRule)
{
    EXPECT_EQ(language(" ing "), "ING");
    EXPECT_EQ(language(""), "POR");
    EXPECT_EQ(language("  "), "POR");
    EXPECT_EQ(language("esp"), "ESP");
    EXPECT_EQ(language("FRA"), "FRA");
}

// The usage text speaks all three languages, two carriage returns between them.
TEST(Launcher, UsageMessage)
{
    const auto m = notice(Situation::NoArgument, "FRA");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->title, L"LoadZEKO");
    EXPECT_EQ(m->icon, Icon::Information);
    EXPECT_EQ(
        m->text,
        L"Este programa s\u00f3 pode ser executado atrav\u00e9s do atalho criado na instala\u00e7\u00e3o.\r\r"
        L"This program can only be run by using the shortcut created after installation.\r\r"
        L"Este programa s\u00f3lo puede ser ejecutado a trav\u00e9s del atajo creado en la "
        L"instalaci\u00f3n.");
}

TEST(Launcher, MissingProgramInTheInstalledLanguage)
{
    const auto pt = notice(Situation::MissingProgram, "POR");
    ASSERT_TRUE(pt);
    EXPECT_EQ(pt->title, L"ZEKO");
    EXPECT_EQ(pt->icon, Icon::Exclamation);
    EXPECT_EQ(pt->text, L"Arquivo AUTORUN.EXE n\u00e3o encontrado!");
    EXPECT_EQ(notice(Situation::MissingProgram, "ING")->text, L"File AUTORUN.EXE not found!");
    EXPECT_EQ(notice(Situation::MissingProgram, "ESP")->text, L"Archivo AUTORUN.EXE no encontrado.");
    EXPECT_FALSE(notice(Situation::MissingProgram, "FRA"));
}

// The reports of a bad drive or a failed start name the drive, in the installed language.
TEST(Launcher, ReportsOfABadDriveOrStart)
{
    EXPECT_EQ(notice(Situation::MissingDrive, "ING", "Q:")->text,
              L"Drive Q: does not exist. Open the book again from ZEKO Download.");
    EXPECT_NE(notice(Situation::InvalidDrive, "POR", "1:")->text.find(L"\"1:\""), std::wstring::npos);
    EXPECT_EQ(notice(Situation::StartFailed, "ESP", "X:")->text, L"No se pudo iniciar X:\\AUTORUN.EXE.");
    EXPECT_FALSE(notice(Situation::InvalidDrive, "FRA", "1:"));
}
