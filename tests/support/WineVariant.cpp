#include "WineVariant.h"

#include "platform/WineHost.h"

using platform::WineHost;
using Arch = WineTestPrefix::Arch;

const WineVariant WineVariant::kPrefix64Programs64{Arch::Win64, true, "Prefix64Programs64"};
const WineVariant WineVariant::kPrefix64Programs32{Arch::Win64, false, "Prefix64Programs32"};
const WineVariant WineVariant::kPrefix32Programs32{Arch::Win32, false, "Prefix32Programs32"};

QString WineVariant::program(const QString &fileName) const
{
    return QStringLiteral("%1/%2").arg(
        programs64 ? QStringLiteral(ZEKO_TEST_WIN64_DIR) : QStringLiteral(ZEKO_TEST_WIN32_DIR), fileName);
}

QString WineVariant::launcher() const
{
    return programs64 ? program(QStringLiteral("LoadZEKOV.EXE")) : QStringLiteral(ZEKO_APP_LAUNCHER);
}

QString WineVariant::systemFolder(const WineTestPrefix &p) const
{
    const bool redirected = !programs64 && prefix == Arch::Win64;
    return p.driveCPath() +
           (redirected ? QStringLiteral("/windows/syswow64") : QStringLiteral("/windows/system32"));
}

bool WineVariant::needs32Bit() const
{
    return !programs64 || prefix == Arch::Win32;
}

std::optional<std::string> WineVariant::unavailableReason() const
{
    const WineHost &host = WineHost::current();
    if (!WineTestPrefix::wineAvailable())
        return host.installed() ? "Wine's wineserver is not installed" : "Wine is not installed";
    if (needs32Bit() && !host.runs32())
        return "32-bit Windows programs cannot run here: " + host.reason32().toStdString();
    if (!needs32Bit() && !host.runs64())
        return std::string(
            "64-bit Windows programs cannot run here: Wine's 64-bit part is not installed (wine64)");
    return std::nullopt;
}

std::vector<WineVariant> WineVariant::all()
{
    return {kPrefix64Programs64, kPrefix64Programs32, kPrefix32Programs32};
}

std::vector<WineVariant> WineVariant::programs32()
{
    return {kPrefix64Programs32, kPrefix32Programs32};
}

void PrintTo(const WineVariant &variant, std::ostream *os)
{
    *os << variant.name;
}

std::string wineVariantName(const ::testing::TestParamInfo<WineVariant> &info)
{
    return info.param.name;
}

bool wineVariantMustRun(const WineVariant &variant)
{
    if (!variant.needs32Bit() || qEnvironmentVariable("ZEKO_REQUIRE_WIN32") != QStringLiteral("1"))
        return false;
    // Only a lack of 32-bit support turns into a failure; a machine without Wine still skips.
    return WineTestPrefix::wineAvailable() && !WineHost::current().runs32();
}
