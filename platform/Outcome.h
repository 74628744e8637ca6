#pragma once

#include <QString>

#include <utility>

namespace platform {

// What a call that can fail gives back: success, or the kind of failure with a
// readable reason and the errno behind it (0 when no system call failed), so the
// caller can say why in the user's language. Kind is an enum whose first
// enumerator, None, means success. It cannot be ignored.
template <typename Kind> class [[nodiscard]] Outcome {
  public:
    Outcome() = default; // success

    static Outcome failed(Kind kind, QString reason, int systemError = 0)
    {
        Outcome o;
        o.m_kind = kind;
        o.m_reason = std::move(reason);
        o.m_systemError = systemError;
        return o;
    }

    bool ok() const { return m_kind == Kind{}; }
    explicit operator bool() const { return ok(); }
    Kind failure() const { return m_kind; }
    const QString &reason() const { return m_reason; }
    int systemError() const { return m_systemError; }

  private:
    Kind m_kind{};
    QString m_reason;
    int m_systemError = 0;
};

// For calls that fail in one way only.
enum class Failure { None, Failed };
using Status = Outcome<Failure>;

} // namespace platform
