#pragma once

#include "common/NamedUserPlatform.h"

#include <QList>
#include <QStringList>

#include <cerrno>

// The Wine platform on a prefix laid out on disk, except that it records the
// programs it is asked to start instead of starting them, answers with a chosen
// failure, and decides itself whether the course player is running. Mappings
// are made and released as usual, and recorded.
class RecordingPlatform : public NamedUserPlatform {
  public:
    struct Start {
        QString program;
        QStringList arguments;
        QString workingDirectory;
    };
    using NamedUserPlatform::NamedUserPlatform;

    platform::StartOutcome startProgram(const QString &windowsExe, const QStringList &arguments,
                                        const QString &workingDirectory) override
    {
        if (failNext != platform::StartFailure::None)
            return platform::StartOutcome::failed(
                failNext, QStringLiteral("cannot start %1 (as the test asked)").arg(windowsExe),
                failNext == platform::StartFailure::Other ? ENOEXEC : 0);
        starts.append({windowsExe, arguments, workingDirectory});
        return {};
    }
    platform::DeviceOutcome defineDosDevice(const QString &device, const QString &target) override
    {
        devices.append("define " + device + ' ' + target);
        return NamedUserPlatform::defineDosDevice(device, target);
    }
    platform::DeviceOutcome removeDosDevice(const QString &device, const QString &target) override
    {
        devices.append("remove " + device + ' ' + target);
        return NamedUserPlatform::removeDosDevice(device, target);
    }
    // zeko.ini refusing writes as a read-only file or disk does (root writes any file).
    platform::Status writeProfileString(const QString &section, const QString &key, const QString &value,
                                        const QString &file) override
    {
        if (!profileReadOnly)
            return NamedUserPlatform::writeProfileString(section, key, value, file);
        return platform::Status::failed(platform::Failure::Failed, QStringLiteral("read-only"), EROFS);
    }
    // Only the pretended course player: the machine's own processes would let
    // another test's course player, running meanwhile, into this one.
    QList<platform::ProcessEntry> processes() const override
    {
        if (courseRunning)
            return {{999999, QStringLiteral("PupilApp.exe")}};
        return {};
    }

    QList<Start> starts;
    QStringList devices; // "define X: <folder>" and "remove X: <folder>", in order
    platform::StartFailure failNext = platform::StartFailure::None;
    bool courseRunning = false;
    bool profileReadOnly = false;
};
