#include "launcher/Launcher.h"

#include <gtest/gtest.h>

using namespace launcher;

TEST(Launcher, ArgumentIsEverythingAfterTheProgramUpperCased)
{
    EXPECT_EQ(argumento("C:\\Apps\\LoadZEKOV.EXE x:"), "X:");
    EXPECT_EQ(argumento("\"C:\\Program Files\\ZEKO\\LoadZEKOV.EXE\" x:"), "X:");
    EXPECT_EQ(argumento("LoadZEKOV.EXE"), "");
    EXPECT_EQ(argumento("\"C:\\a b\\LoadZEKOV.EXE\"   "), "");
    EXPECT_EQ(argumento("LoadZEKOV.EXE  y: extra"), "Y: EXTRA");
}

TEST(Launcher, OnlyALetterAndAColonIsADrive)
{
    EXPECT_TRUE(unidadeValida("X:"));
    EXPECT_TRUE(unidadeValida(" x: "));
    EXPECT_EQ(unidade(" x: "), "X:");
    EXPECT_FALSE(unidadeValida("X"));
    EXPECT_FALSE(unidadeValida("XY"));
    EXPECT_FALSE(unidadeValida("1:"));
    EXPECT_FALSE(unidadeValida("X:\\"));
    EXPECT_FALSE(unidadeValida("Y: EXTRA"));
}

TEST(Launcher, LanguageRule)
{
    EXPECT_EQ(idioma(" ing "), "ING");
    EXPECT_EQ(idioma(""), "POR");
    EXPECT_EQ(idioma("  "), "POR");
    EXPECT_EQ(idioma("esp"), "ESP");
    EXPECT_EQ(idioma("FRA"), "FRA");
}

// The usage text speaks all three languages, two carriage returns between them.
TEST(Launcher, UsageMessage)
{
    const auto m = mensagem(Situacao::SemArgumento, "FRA");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->titulo, L"LoadZEKO");
    EXPECT_EQ(m->icone, Icone::Informacao);
    EXPECT_EQ(
        m->texto,
        L"Este programa s\u00f3 pode ser executado atrav\u00e9s do atalho criado na instala\u00e7\u00e3o.\r\r"
        L"This program can only be run by using the shortcut created after installation.\r\r"
        L"Este programa s\u00f3lo puede ser ejecutado a trav\u00e9s del atajo creado en la "
        L"instalaci\u00f3n.");
}

TEST(Launcher, MissingProgramInTheInstalledLanguage)
{
    const auto por = mensagem(Situacao::ProgramaAusente, "POR");
    ASSERT_TRUE(por);
    EXPECT_EQ(por->titulo, L"ZEKO");
    EXPECT_EQ(por->icone, Icone::Exclamacao);
    EXPECT_EQ(por->texto, L"Arquivo AUTORUN.EXE n\u00e3o encontrado!");
    EXPECT_EQ(mensagem(Situacao::ProgramaAusente, "ING")->texto, L"File AUTORUN.EXE not found!");
    EXPECT_EQ(mensagem(Situacao::ProgramaAusente, "ESP")->texto, L"Archivo AUTORUN.EXE no encontrado.");
    EXPECT_FALSE(mensagem(Situacao::ProgramaAusente, "FRA"));
}

// The reports of a bad drive or a failed start name the drive, in the installed language.
TEST(Launcher, ReportsOfABadDriveOrStart)
{
    EXPECT_EQ(mensagem(Situacao::UnidadeInexistente, "ING", "Q:")->texto,
              L"Drive Q: does not exist. Open the book again from ZEKO Download.");
    EXPECT_NE(mensagem(Situacao::UnidadeInvalida, "POR", "1:")->texto.find(L"\"1:\""), std::wstring::npos);
    EXPECT_EQ(mensagem(Situacao::FalhaAoIniciar, "ESP", "X:")->texto, L"No se pudo iniciar X:\\AUTORUN.EXE.");
    EXPECT_FALSE(mensagem(Situacao::UnidadeInvalida, "FRA", "1:"));
}
