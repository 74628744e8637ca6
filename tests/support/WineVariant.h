#pragma once

#include "WineTestPrefix.h"

#include <QString>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// One way Windows programs meet Wine in the tests: a prefix of one kind running
// test programs of one kind. The course is 32-bit, but a machine without 32-bit
// support still checks everything that does not depend on bitness with 64-bit
// copies of the same programs.
struct WineVariant {
    WineTestPrefix::Arch prefix;
    bool programs64;
    const char *name;

    // The variant's copies of the test programs: winprobe.exe, pupilapp.exe, AUTORUN.EXE.
    QString program(const QString &fileName) const;
    QString probe() const { return program(QStringLiteral("winprobe.exe")); }
    // The shipped 32-bit LoadZEKOV.EXE, or the 64-bit test copy.
    QString launcher() const;
    // The unix folder the variant's programs reach as C:\windows\system32: a 32-bit
    // program in a 64-bit prefix is sent to syswow64.
    QString systemFolder(const WineTestPrefix &prefix) const;

    // Why this machine cannot run the variant; nullopt when it can.
    std::optional<std::string> unavailableReason() const;
    // True when the reason is a lack of 32-bit support, which ZEKO_REQUIRE_WIN32=1 turns into a failure.
    bool needs32Bit() const;

    static const WineVariant kPrefix64Programs64;
    static const WineVariant kPrefix64Programs32;
    static const WineVariant kPrefix32Programs32;
    // Every variant, 64-bit programs first.
    static std::vector<WineVariant> all();
    // The variants whose programs are 32-bit, for what only a 32-bit program sees.
    static std::vector<WineVariant> programs32();
};

void PrintTo(const WineVariant &variant, std::ostream *os);
std::string wineVariantName(const ::testing::TestParamInfo<WineVariant> &info);

// Fails when ZEKO_REQUIRE_WIN32=1 asks for 32-bit support and the variant needs it.
bool wineVariantMustRun(const WineVariant &variant);

// Ends the current test unless this machine runs the variant: skipped with the
// true reason, or failed when the machine must run it (see wineVariantMustRun).
#define ZEKO_REQUIRE_WINE_VARIANT(variant)                                                                   \
    if (const std::optional<std::string> zekoWhyNot = (variant).unavailableReason()) {                       \
        if (wineVariantMustRun(variant))                                                                     \
            GTEST_FAIL() << *zekoWhyNot << " (ZEKO_REQUIRE_WIN32=1 asks for 32-bit support)";                \
        else                                                                                                 \
            GTEST_SKIP() << *zekoWhyNot;                                                                     \
    }
