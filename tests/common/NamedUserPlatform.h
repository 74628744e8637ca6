#pragma once

#include "platform/WinePlatform.h"

// The Wine platform with a user name chosen by the test.
class NamedUserPlatform : public platform::WinePlatform {
  public:
    NamedUserPlatform(platform::WinePrefix prefix, QString name)
        : WinePlatform(std::move(prefix))
        , m_name(std::move(name))
    {
    }
    std::optional<QString> userName(int bufferSize) const override
    {
        if (m_name.size() + 1 > bufferSize)
            return std::nullopt;
        return m_name;
    }

  private:
    QString m_name;
};
