#pragma once

// Runs every test and tells ctest the truth about skips: a program in which no
// test passed and some were skipped exits with ZEKO_TEST_SKIP_CODE, which ctest
// reports as Skipped, while any failure stays a failure. Each skip's reason goes
// to $ZEKO_SKIP_LOG_DIR/<program>.txt, one "test<TAB>reason" line each, for the
// summary at the end of scripts/test.sh.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace zekotest {

class SkipRecorder : public ::testing::EmptyTestEventListener {
  public:
    explicit SkipRecorder(QString logFile)
        : m_logFile(std::move(logFile))
    {
    }

    void OnTestEnd(const ::testing::TestInfo &test) override
    {
        const ::testing::TestResult &result = *test.result();
        if (!result.Skipped())
            return;
        std::string reason;
        for (int i = 0; i < result.total_part_count(); ++i)
            if (result.GetTestPartResult(i).skipped())
                reason = result.GetTestPartResult(i).message();
        if (reason.empty())
            reason = "(no reason given)";
        // One line per skip: the reason's first line is what the summary groups by.
        const std::string firstLine = reason.substr(0, reason.find('\n'));
        m_lines += std::string(test.test_suite_name()) + '.' + test.name() + '\t' + firstLine + '\n';
    }

    void OnTestProgramEnd(const ::testing::UnitTest &) override
    {
        if (m_logFile.isEmpty())
            return;
        QDir().mkpath(QFileInfo(m_logFile).absolutePath());
        QFile log(m_logFile);
        if (m_lines.empty()) {
            log.remove();
            return;
        }
        if (log.open(QIODevice::WriteOnly | QIODevice::Truncate))
            log.write(m_lines.data(), qint64(m_lines.size()));
    }

  private:
    QString m_logFile;
    std::string m_lines;
};

inline int runAllTests(const char *argv0)
{
    const QString dir = qEnvironmentVariable("ZEKO_SKIP_LOG_DIR");
    const QString program = QFileInfo(QString::fromLocal8Bit(argv0)).fileName();
    ::testing::UnitTest &unit = *::testing::UnitTest::GetInstance();
    unit.listeners().Append(new SkipRecorder(
        dir.isEmpty() ? QString() : dir + QStringLiteral("/") + program + QStringLiteral(".txt")));
    const int result = RUN_ALL_TESTS();
    if (result == 0 && unit.successful_test_count() == 0 && unit.skipped_test_count() > 0) {
        std::printf("0 tests passed, %d skipped: nothing ran here\n", unit.skipped_test_count());
        return ZEKO_TEST_SKIP_CODE;
    }
    return result;
}

} // namespace zekotest
