// Result: how a read or write that can fail says whether it did, and if not, why.
#pragma once
#include <QString>

// Success, or a failure with its reason as the operating system or the reader gave it. The
// caller decides whether the operator sees the reason (a message naming the file) or only the log.
class [[nodiscard]] Result {
public:
    static Result success() { return Result(); }
    // An empty reason still counts as a failure.
    static Result failure(const QString &reason) { return Result(reason.isEmpty() ? QStringLiteral("?") : reason); }

    bool ok() const { return m_reason.isNull(); }
    explicit operator bool() const { return ok(); }
    // Empty after a success.
    const QString &reason() const { return m_reason; }

private:
    Result() = default;
    explicit Result(const QString &reason) : m_reason(reason) {}
    QString m_reason;
};
