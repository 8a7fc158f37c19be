// The driver's command line: what each option sets, and the usage errors.
#include "tests/driver/DriveOptions.h"

#include <gtest/gtest.h>

namespace
{
DriveOptions Parse(const std::vector<std::string>& args)
{
    DriveOptions options;
    std::string error;
    EXPECT_TRUE(ParseDriveOptions(args, options, error)) << error;
    return options;
}

std::string ParseError(const std::vector<std::string>& args)
{
    DriveOptions options;
    std::string error;
    EXPECT_FALSE(ParseDriveOptions(args, options, error));
    return error;
}
} // namespace

TEST(DriveOptions, TargetsMapToTheListIndexes)
{
    EXPECT_EQ(0, Parse({"--target", "m", "a"}).nTarget);
    EXPECT_EQ(1, Parse({"--target", "c", "a"}).nTarget);
    EXPECT_EQ(2, Parse({"--target", "mc", "a"}).nTarget);
    EXPECT_EQ(-1, Parse({"--target", "none", "a"}).nTarget);
    EXPECT_EQ(DriveOptions::kKeep, Parse({"a"}).nTarget);
    EXPECT_NE(std::string::npos, ParseError({"--target", "MC", "a"}).find("\"MC\""));
}

TEST(DriveOptions, SubfoldersOnOffOrAsStored)
{
    EXPECT_EQ(1, Parse({"--subfolders", "on", "a"}).nSubfolders);
    EXPECT_EQ(0, Parse({"--subfolders", "off", "a"}).nSubfolders);
    EXPECT_EQ(-1, Parse({"a"}).nSubfolders);
    EXPECT_FALSE(ParseError({"--subfolders", "yes", "a"}).empty());
}

TEST(DriveOptions, OptionsThatImplyOthers)
{
    DriveOptions deleteLog = Parse({"--delete-log", "a"});
    EXPECT_TRUE(deleteLog.bDropAgain);
    EXPECT_TRUE(deleteLog.bDeleteLogBetween);

    DriveOptions answerNo = Parse({"--undo-answer", "no", "a"});
    EXPECT_TRUE(answerNo.bUndo);
    EXPECT_FALSE(answerNo.bUndoAnswerYes);

    DriveOptions removal = Parse({"--remove", "x.jpg", "--remove", "y.jpg", "a"});
    EXPECT_TRUE(removal.bUndo);
    EXPECT_TRUE(removal.bUndoAnswerYes);
    EXPECT_EQ((std::vector<std::string>{"x.jpg", "y.jpg"}), removal.removals);

    DriveOptions created = Parse({"--created", "1999-12-31 23:59:58", "a"});
    EXPECT_TRUE(created.bNtfsTimes);
    EXPECT_EQ("1999-12-31 23:59:58", created.strCreated);
    EXPECT_FALSE(ParseError({"--created", "yesterday", "a"}).empty());
}

TEST(DriveOptions, FilesAndCopiesAreKept)
{
    DriveOptions options = Parse({"--log", "l.txt", "--journal", "j.txt", "--screenshot", "s.bmp", "--hold",
                                  "h1", "--hold", "h2", "--lock", "k", "--times", "a", "b"});
    EXPECT_EQ("l.txt", options.strLogCopy);
    EXPECT_EQ("j.txt", options.strJournalCopy);
    EXPECT_EQ("s.bmp", options.strScreenshot);
    EXPECT_EQ((std::vector<std::string>{"h1", "h2"}), options.holds);
    EXPECT_EQ((std::vector<std::string>{"k"}), options.locks);
    EXPECT_TRUE(options.bPrintTimes);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), options.paths);
}

TEST(DriveOptions, PathsMayLookLikeOptionsAfterTheSeparator)
{
    DriveOptions options = Parse({"--target", "m", "--", "--undo", "b"});
    EXPECT_FALSE(options.bUndo);
    EXPECT_EQ((std::vector<std::string>{"--undo", "b"}), options.paths);
}

TEST(DriveOptions, ShowTimeAndAboutBox)
{
    DriveOptions options = Parse({"--show", "2500", "--about", "a"});
    EXPECT_EQ(2500, options.nShowMs);
    EXPECT_TRUE(options.bAbout);
    EXPECT_EQ(0, Parse({"a"}).nShowMs);
    // A run to be looked at needs nothing to drop.
    EXPECT_TRUE(Parse({"--show", "100"}).paths.empty());
    EXPECT_EQ("--show takes milliseconds from 0 to 600000, not \"2s\"", ParseError({"--show", "2s", "a"}));
    EXPECT_EQ("--show takes milliseconds from 0 to 600000, not \"-1\"", ParseError({"--show", "-1", "a"}));
    EXPECT_EQ("--show takes milliseconds from 0 to 600000, not \"\"", ParseError({"--show", "", "a"}));
}

TEST(DriveOptions, UsageErrors)
{
    EXPECT_EQ("no path to drop", ParseError({"--target", "m"}));
    EXPECT_EQ("--log needs a value", ParseError({"--log"}));
    EXPECT_EQ("unknown option --frobnicate", ParseError({"--frobnicate", "a"}));
}

TEST(DriveOptions, ParsingStartsAfresh)
{
    DriveOptions options;
    std::string error;
    ASSERT_TRUE(ParseDriveOptions({"--undo", "--hold", "h", "a"}, options, error));
    ASSERT_TRUE(ParseDriveOptions({"b"}, options, error));
    EXPECT_FALSE(options.bUndo);
    EXPECT_TRUE(options.holds.empty());
    EXPECT_EQ((std::vector<std::string>{"b"}), options.paths);
}
