#include "log/Logger.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

bool contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

class LoggerFiles : public ::testing::Test {
protected:
    testenv::TempDir state;
    testenv::ScopedVariable xdg{"XDG_STATE_HOME", state.path().string()};
    fs::path logPath = state.path() / "brinmoor" / "fx_plugin_log.txt";

    std::string current() const { return testenv::readFile(logPath); }
    std::string backup(int n) const {
        return testenv::readFile(logPath.string() + "." + std::to_string(n));
    }
};

TEST_F(LoggerFiles, EachEffectsFileLivesInTheStateFolderAndStartsWithItsHeader) {
    Logger logger;
    logger.openForEffect("fx");
    EXPECT_EQ(logger.path(), logPath.string());

    const std::vector<std::string> header = lines(current());
    ASSERT_EQ(header.size(), 4u);
    EXPECT_EQ(header[0], "=== fx Plugin Session Started ===");
    EXPECT_EQ(header[1].rfind("Session time: ", 0), 0u);
    EXPECT_EQ(header[1].size(), std::string("Session time: 2026-01-01 00:00:00").size());
    EXPECT_EQ(header[2], "Log file: " + logPath.string());
    EXPECT_EQ(header[3], "Max log size: 2 MB, backups: 2");

    // Switching effects closes the first file with a note.
    logger.openForEffect("second");
    EXPECT_TRUE(contains(current(), "[INFO] === Switching to new effect: second ===\n"));
    EXPECT_TRUE(fs::exists(state.path() / "brinmoor" / "second_plugin_log.txt"));
}

TEST_F(LoggerFiles, WithoutStateHomeTheFileGoesUnderHome) {
    testenv::TempDir home;
    testenv::ScopedVariable noXdg("XDG_STATE_HOME", std::nullopt);
    testenv::ScopedVariable homeVar("HOME", home.path().string());
    Logger logger;
    logger.openForEffect("fx");
    EXPECT_TRUE(fs::exists(home.path() / ".local" / "state" / "brinmoor" / "fx_plugin_log.txt"));

    // A relative state home is not a valid base directory and is ignored.
    testenv::ScopedVariable relative("XDG_STATE_HOME", "relative/dir");
    Logger second;
    second.openForEffect("other");
    EXPECT_EQ(second.path(),
              (home.path() / ".local" / "state" / "brinmoor" / "other_plugin_log.txt").string());
}

TEST_F(LoggerFiles, LevelFiltersLinesAndOnlyErrorsAreFlushedAtOnce) {
    Logger logger;
    logger.openForEffect("fx");
    logger.setLevel(Logger::ERROR_LEVEL);
    logger.log(Logger::INFO_LEVEL, "info %d", 1);
    logger.debug("debug %d", 2);
    logger.log(Logger::ERROR_LEVEL, "error %s", "three");
    // Read without flushing: the ERROR line must already be on disk.
    std::string text = current();
    EXPECT_TRUE(contains(text, "Debug level: ERROR\n"));
    EXPECT_TRUE(contains(text, "[ERROR] error three\n"));
    EXPECT_FALSE(contains(text, "info 1"));
    EXPECT_FALSE(contains(text, "debug 2"));

    logger.setLevel(Logger::INFO_LEVEL);
    logger.log(Logger::INFO_LEVEL, "buffered");
    EXPECT_FALSE(contains(current(), "buffered"));
    logger.flush();
    EXPECT_TRUE(contains(current(), "[INFO] buffered\n"));

    logger.setLevel(Logger::DEBUG_LEVEL);
    logger.debug("now %s", "visible");
    logger.flush();
    EXPECT_TRUE(contains(current(), "[DEBUG] now visible\n"));
}

TEST(LoggerLevels, WordsSelectLevelsInAnyCaseAndUnknownWordsSelectErrors) {
    Logger logger;
    logger.setLevelFromString("DEBUG");
    EXPECT_EQ(logger.level(), Logger::DEBUG_LEVEL);
    logger.setLevelFromString("Info");
    EXPECT_EQ(logger.level(), Logger::INFO_LEVEL);
    logger.setLevelFromString("verbose");
    EXPECT_EQ(logger.level(), Logger::ERROR_LEVEL);
    // Without a file nothing is written and nothing fails.
    logger.log(Logger::ERROR_LEVEL, "dropped");
    EXPECT_FALSE(logger.isOpen());
}

TEST_F(LoggerFiles, ClosingLineIsWrittenOnlyWhenInfoIsAdmitted) {
    {
        Logger logger;
        logger.openForEffect("fx");
        logger.setLevel(Logger::INFO_LEVEL);
    }
    EXPECT_TRUE(contains(current(), "[INFO] === Logger Destroyed ===\n"));
    {
        Logger logger;
        logger.openForEffect("fx");
    }
    EXPECT_FALSE(contains(current(), "Logger Destroyed"));
}

TEST_F(LoggerFiles, EachRunKeepsThePreviousTwoRunsAsBackups) {
    for (int run = 1; run <= 4; ++run) {
        Logger logger;
        logger.openForEffect("fx");
        logger.log(Logger::ERROR_LEVEL, "run %d", run);
    }
    EXPECT_TRUE(contains(current(), "[ERROR] run 4"));
    EXPECT_TRUE(contains(backup(1), "[ERROR] run 3"));
    EXPECT_TRUE(contains(backup(2), "[ERROR] run 2"));
    EXPECT_FALSE(fs::exists(logPath.string() + ".3"));
}

// Lines big enough that 70 of them pass the 2 MiB limit.
const std::string kBigLine(30000, 'x');

// Filtered lines are not counted: 50 of them past the size limit must not rotate early.
TEST_F(LoggerFiles, RotatesAtTheNextHundredthWrittenLineOnceTheFileIsTooBig) {
    Logger logger;
    logger.openForEffect("fx");
    for (int i = 1; i <= 99; ++i) {
        logger.log(Logger::ERROR_LEVEL, "%d %s", i, kBigLine.c_str());
        for (int filtered = 0; i == 80 && filtered < 50; ++filtered) {
            logger.log(Logger::INFO_LEVEL, "filtered");
        }
    }
    ASSERT_GT(fs::file_size(logPath), static_cast<std::uintmax_t>(Logger::kMaxLogSize));
    EXPECT_FALSE(fs::exists(logPath.string() + ".1"));

    logger.log(Logger::ERROR_LEVEL, "hundredth");
    const std::vector<std::string> fresh = lines(current());
    ASSERT_EQ(fresh.size(), 4u);
    EXPECT_EQ(fresh[0], "=== fx Plugin Log Continued (rotation) ===");
    EXPECT_EQ(fresh[1].rfind("Rotation time: ", 0), 0u);
    EXPECT_EQ(fresh[2], "Previous log backed up to: " + logPath.string() + ".1");
    EXPECT_EQ(fresh[3], "[ERROR] hundredth");

    const std::vector<std::string> old = lines(backup(1));
    EXPECT_EQ(old.size(), 4u + 99u + 1u);
    EXPECT_EQ(old.back().rfind("[INFO] === Log rotation triggered (size: ", 0), 0u);
}

// Processes started together share this run's file: none moves away the file the others are
// writing, so every line is kept, and the earlier run's file is the one backup made.
TEST_F(LoggerFiles, LoggersWritingAtOnceShareTheFileAndKeepEveryLine) {
    {
        Logger earlier;
        earlier.openForEffect("fx");
        earlier.log(Logger::ERROR_LEVEL, "earlier run");
    }
    std::vector<std::unique_ptr<Logger>> loggers;
    for (int i = 0; i < 8; ++i) {
        loggers.push_back(std::make_unique<Logger>());
        loggers.back()->openForEffect("fx");
        loggers.back()->log(Logger::ERROR_LEVEL, "process %d", i);
    }
    // Past the size limit while others write: no rotation takes the file from under them.
    for (int i = 1; i <= 100; ++i) {
        loggers[3]->log(Logger::ERROR_LEVEL, "%d %s", i, kBigLine.c_str());
    }
    loggers.clear();
    const std::string text = current();
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(contains(text, "[ERROR] process " + std::to_string(i) + "\n")) << i;
    }
    EXPECT_TRUE(contains(backup(1), "[ERROR] earlier run"));
    EXPECT_FALSE(fs::exists(logPath.string() + ".2"));
}

#if !defined(_WIN32)
// A link or a pipe planted at the log's path (the log folders are shared by every user on some
// systems): the log moves it aside and writes a file of its own; the link's target is untouched.
TEST_F(LoggerFiles, ALinkOrPipeAtTheLogPathIsNeverWrittenThrough) {
    testenv::TempDir elsewhere;
    const fs::path victim = elsewhere.path() / "precious.txt";
    std::ofstream(victim) << "precious";
    fs::create_directories(logPath.parent_path());
    fs::create_symlink(victim, logPath);
    {
        Logger logger;
        logger.openForEffect("fx");
        logger.log(Logger::ERROR_LEVEL, "after the link");
    }
    EXPECT_EQ(testenv::readFile(victim), "precious");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(logPath)));
    EXPECT_TRUE(contains(current(), "[ERROR] after the link"));

    fs::remove(logPath);
    ASSERT_EQ(mkfifo(logPath.c_str(), 0600), 0);
    Logger logger;
    logger.openForEffect("fx"); // returns: nothing waits for a reader of the pipe
    logger.log(Logger::ERROR_LEVEL, "after the pipe");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(logPath)));
    EXPECT_TRUE(contains(current(), "[ERROR] after the pipe"));
}
#endif

TEST_F(LoggerFiles, LinesFromManyThreadsNeverInterleave) {
    Logger logger;
    logger.openForEffect("fx");
    constexpr int kThreads = 8;
    constexpr int kLines = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&logger, t] {
            for (int i = 0; i < kLines; ++i) {
                logger.log(Logger::ERROR_LEVEL, "thread %d line %d end", t, i);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const std::vector<std::string> all = lines(current());
    const auto written = std::count_if(all.begin(), all.end(), [](const std::string& line) {
        return line.rfind("[ERROR] thread ", 0) == 0 && line.size() > 4 &&
               line.compare(line.size() - 4, 4, " end") == 0;
    });
    EXPECT_EQ(written, kThreads * kLines);
}

} // namespace
