// The settings file where the program keeps it itself: the private-profile text rules,
// the file written beside and renamed over the old one, and the XDG directory.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/private_profile.h"
#include "platform/profile_text.h"
#include "platform/settings_location.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::string settingsDirectory;  // what platformSettingsDirectory gives in these tests

}  // namespace

std::string platformSettingsDirectory() { return settingsDirectory; }

namespace {

// ---------------------------------------------------------------------------------------
// Reading

struct ReadCase {
    const char* name;
    std::string text;
    std::string section;
    std::string key;
    std::int32_t expected;  // the default is -99
};

const ReadCase READ_CASES[] = {
    {"Plain", "[param]\nlow=1\n", "param", "low", 1},
    {"NamesIgnoreCase", "[PaRaM]\nLOW=3\n", "param", "Low", 3},
    {"BlanksAroundEverything", " \t[ \tparam\t ] \n\t low \t= \t42\t \n", "param", "low", 42},
    {"OtherBlanksAroundEverything",
     "\v\f\x1a[\v\f\x1aparam\x1a\f\v]\v\n\f\x1a\vlow\v\x1a\f=\f\v\x1a\"42\"\x1a\f\v\n", "param", "low", 42},
    {"OtherControlCharactersAreNoBlanks", "[param]\n\x01low=1\nlow\x1b=2\nlow=3\n", "param", "low", 3},
    {"CrlfLines", "; c\r\n[param]\r\nlow=7\r\n", "param", "low", 7},
    {"NoFinalNewline", "[param]\nlow=8", "param", "low", 8},
    {"FirstKeyWins", "[param]\nlow=1\nLOW=2\n", "param", "low", 1},
    {"OnlyTheFirstSectionCounts", "[param]\nx=1\n[PARAM]\nlow=5\n", "param", "low", -99},
    {"FirstSectionBeforeADuplicate", "[param]\nlow=4\n[param]\nlow=5\n", "param", "low", 4},
    {"KeyInAnotherSection", "[other]\nlow=1\n[param]\nx=2\n", "param", "low", -99},
    {"KeyAfterTheSection", "[param]\nx=2\n[other]\nlow=1\n", "param", "low", -99},
    {"KeyBeforeAnySection", "low=1\n[param]\n", "param", "low", -99},
    {"MissingSection", "[other]\nlow=1\n", "param", "low", -99},
    {"EmptyText", "", "param", "low", -99},
    {"CommentIsNoKey", "[param]\n;low=1\n  ; low=2\nlow=3\n", "param", "low", 3},
    {"LineWithoutEqualsIsNoKey", "[param]\nlow\nlow 9\nlow=3\n", "param", "low", 3},
    {"HeaderWithoutClosingBracket", "[param\nlow=4\n", "param", "low", 4},
    {"NameEndsAtTheFirstClosingBracket", "[param]x]\nlow=4\n", "param", "low", 4},
    {"TextAfterHeader", "[param] ; the settings\nlow=4\n", "param", "low", 4},
    {"ByteOrderMarkSpoilsTheFirstHeader", "\xEF\xBB\xBF[param]\nlow=1\n", "param", "low", -99},
    {"NulBytesAreData", "\0\0\n[param]\nlow=6\0 9\n"s, "param", "low", 6},
    {"NulInsideAKey", "[param]\nl\0w=1\nlow=2\n"s, "param", "low", 2},
    {"NoNewlineAtAll", "[param]low=5", "param", "low", -99},
    // Line endings
    {"LoneCrEndsALine", "[param]\rlow=5\n", "param", "low", 5},
    {"CrOnlyLines", "[other]\rlow=1\r[param]\rlow=5\r", "param", "low", 5},
    {"LoneCrEndsTheDigits", "[param]\nlow=7\r8\n", "param", "low", 7},
    {"CrThenCrlf", "[param]\r\r\nlow=5", "param", "low", 5},
    {"LfThenCr", "[param]\n\rlow=5", "param", "low", 5},
    {"LoneCrEndsTheSection", "[param]\rx=1\r[other]\rlow=5\r", "param", "low", -99},
    // Values
    {"WrapsAt32Bits", "[param]\nlow=4294967297\n", "param", "low", 1},
    {"AllOnesIsMinusOne", "[param]\nlow=4294967295\n", "param", "low", -1},
    {"LargeNumberWraps", "[param]\nlow=99999999999\n", "param", "low", 1215752191},
    {"EveryDigitOfALongValueCounts", "[param]\nlow=99999999999999999999999999999999999\n", "param", "low", -1},
    {"LongRunOfLeadingZeros", "[param]\nlow=0000000000000000000000000000001\n", "param", "low", 1},
    {"MinusOne", "[param]\nlow=-1\n", "param", "low", -1},
    {"TwoToThe31", "[param]\nlow=2147483648\n", "param", "low", INT32_MIN},
    {"MinusTwoToThe31", "[param]\nlow=-2147483648\n", "param", "low", INT32_MIN},
    {"NegatedWrap", "[param]\nlow=-4294967297\n", "param", "low", -1},
    {"PlusAndTrailingJunk", "[param]\nlow= +7x\n", "param", "low", 7},
    {"StopsAtBlank", "[param]\nlow=1 2\n", "param", "low", 1},
    {"LettersReadAsZero", "[param]\nlow=abc\n", "param", "low", 0},
    {"SignAloneReadsAsZero", "[param]\nlow=-\n", "param", "low", 0},
    {"TwoSignsReadAsZero", "[param]\nlow=+-3\n", "param", "low", 0},
    {"BlankAfterTheSignReadsAsZero", "[param]\nlow=- 3\n", "param", "low", 0},
    {"LeadingZeros", "[param]\nlow=0000000000012\n", "param", "low", 12},
    {"LeadingZeroIsStillDecimal", "[param]\nlow=017\n", "param", "low", 17},
    {"EqualsInValue", "[param]\nlow==5\n", "param", "low", 0},
    {"ControlCharactersBeforeTheNumber", "[param]\nlow=\x01\x1f 5\n", "param", "low", 5},
    {"ControlCharacterAfterTheSign", "[param]\nlow=-\x01" "5\n", "param", "low", 0},
    {"DeleteIsNoBlank", "[param]\nlow=\x7f" "5\n", "param", "low", 0},
    {"HighByteIsNoBlank", "[param]\nlow=\xa0" "5\n", "param", "low", 0},
    // Bases
    {"Hexadecimal", "[param]\nlow=0x10\n", "param", "low", 16},
    {"HexadecimalDigitsInEitherCase", "[param]\nlow=0xaF\n", "param", "low", 175},
    {"NegativeHexadecimal", "[param]\nlow=-0x10\n", "param", "low", -16},
    {"HexadecimalWraps", "[param]\nlow=0x100000001\n", "param", "low", 1},
    {"HexadecimalAllOnes", "[param]\nlow=0xFFFFFFFF\n", "param", "low", -1},
    {"CapitalXIsNoPrefix", "[param]\nlow=0X10\n", "param", "low", 0},
    {"Octal", "[param]\nlow=0o17\n", "param", "low", 15},
    {"OctalStopsAtEight", "[param]\nlow=0o78\n", "param", "low", 7},
    {"Binary", "[param]\nlow=0b101\n", "param", "low", 5},
    {"BinaryStopsAtTwo", "[param]\nlow=0b102\n", "param", "low", 2},
    {"PrefixWithoutDigits", "[param]\nlow=0x\n", "param", "low", 0},
    {"PrefixThenJunk", "[param]\nlow=0xg1\n", "param", "low", 0},
    {"PrefixAfterABlank", "[param]\nlow=\" 0x10\"\n", "param", "low", 16},
    {"NoPrefixAfterDigits", "[param]\nlow=10x1\n", "param", "low", 10},
    // Empty values and quotes
    {"EmptyValueGivesTheDefault", "[param]\nlow=\n", "param", "low", -99},
    {"BlankValueGivesTheDefault", "[param]\nlow= \t \n", "param", "low", -99},
    {"DoubleQuotesComeOff", "[param]\nlow=\"5\"\n", "param", "low", 5},
    {"SingleQuotesComeOff", "[param]\nlow='5'\n", "param", "low", 5},
    {"QuotesInsideBlanks", "[param]\nlow= \t\"5\" \n", "param", "low", 5},
    {"BlanksInsideQuotes", "[param]\nlow=\" -5 \"\n", "param", "low", -5},
    {"QuotedDigitsThenJunk", "[param]\nlow=\"5x\"\n", "param", "low", 5},
    {"EmptyQuotesGiveTheDefault", "[param]\nlow=\"\"\n", "param", "low", -99},
    {"QuotedBlanksReadAsZero", "[param]\nlow=' '\n", "param", "low", 0},
    {"QuotesThatDoNotMatchStay", "[param]\nlow='5\"\n", "param", "low", 0},
    {"OneQuoteAloneStays", "[param]\nlow=\"\n", "param", "low", 0},
    {"OnlyTheOuterQuotesComeOff", "[param]\nlow=\"'5'\"\n", "param", "low", 0},
    {"ClosingQuoteMissing", "[param]\nlow=\"5\n", "param", "low", 0},
    // NUL bytes end the value
    {"NulFirstGivesTheDefault", "[param]\nlow=\0" "5\n"s, "param", "low", -99},
    {"NulBeforeTheClosingQuote", "[param]\nlow=\"5\0\"\n"s, "param", "low", 0},
    {"NulAfterTheClosingQuote", "[param]\nlow=\"5\"\0x\n"s, "param", "low", 5},
    {"NulAfterQuotedBlank", "[param]\nlow=\"5\" \0\n"s, "param", "low", 0},
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, GivesTheValueWindowsWouldRead) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(profileReadInt(c.text, c.section, c.key, -99), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRead, ::testing::ValuesIn(READ_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Writing

struct WriteCase {
    const char* name;
    std::string text;
    std::string section;
    std::string key;
    std::string value;
    std::string expected;
};

const WriteCase WRITE_CASES[] = {
    {"EmptyText", "", "param", "low", "0", "[param]\nlow=0\n"},
    {"ReplacesTheValue", "[param]\nlow=1\n", "param", "low", "0", "[param]\nlow=0\n"},
    {"ReplaceKeepsOtherBytesAndCrlf", "; top \r\n[param]\r\n  LOW = 1 ; x\r\nother = 2\r\n\r\n", "param", "low", "0",
     "; top \r\n[param]\r\nlow=0\r\nother = 2\r\n\r\n"},
    {"ReplaceKeepsTheLinesOwnEnding", "[param]\nlow=1\r\nx=2\n", "param", "low", "5", "[param]\nlow=5\r\nx=2\n"},
    {"ReplaceKeepsAMissingFinalNewline", "[param]\nlow=1", "param", "low", "-3", "[param]\nlow=-3"},
    {"ReplaceUsesTheCallersSpelling", "[PARAM]\nLow=1\n", "param", "LOW", "2", "[PARAM]\nLOW=2\n"},
    {"ReplacesOnlyTheFirstMatch", "[param]\nlow=1\nlow=2\n[PARAM]\nlow=3\n", "param", "low", "0",
     "[param]\nlow=0\nlow=2\n[PARAM]\nlow=3\n"},
    {"InsertsAfterTheLastKeyLine", "[param]\na=1\n\n; c\nb=2\n\n[next]\nx=1\n", "param", "low", "0",
     "[param]\na=1\n\n; c\nb=2\nlow=0\n\n[next]\nx=1\n"},
    {"InsertsAfterTheHeaderWithoutKeys", "[param]\n;low=1\nnot a key\n[next]\n", "param", "low", "0",
     "[param]\nlow=0\n;low=1\nnot a key\n[next]\n"},
    {"InsertsIntoTheFirstMatchingSection", "[param]\na=1\n[Param]\nlow=2\n", "param", "low", "0",
     "[param]\na=1\nlow=0\n[Param]\nlow=2\n"},
    {"InsertUsesCrlfOfACrlfFile", "[param]\r\na=1\r\n[next]\r\n", "param", "low", "0",
     "[param]\r\na=1\r\nlow=0\r\n[next]\r\n"},
    {"InsertFollowsTheFirstLineEnding", "; c\n[param]\r\na=1\r\n", "param", "low", "0",
     "; c\n[param]\r\na=1\r\nlow=0\n"},
    {"InsertAfterALastLineWithoutEnding", "[param]\r\na=1", "param", "low", "0", "[param]\r\na=1\r\nlow=0\r\n"},
    {"InsertAfterAHeaderWithoutEnding", "[param]", "param", "low", "0", "[param]\nlow=0\n"},
    {"AppendsAMissingSection", "[other]\nx=1\n", "param", "low", "0", "[other]\nx=1\n[param]\nlow=0\n"},
    {"AppendAddsAFinalNewlineFirst", "[other]\r\nx=1", "param", "low", "0", "[other]\r\nx=1\r\n[param]\r\nlow=0\r\n"},
    {"AppendAfterACommentOnly", "; c", "param", "low", "0", "; c\n[param]\nlow=0\n"},
    {"AppendUsesTheCallersSpelling", "", "Param", "Low", "1", "[Param]\nLow=1\n"},
    {"KeyBeforeAnySectionIsKept", "low=1\n", "param", "low", "0", "low=1\n[param]\nlow=0\n"},
    {"ReplaceDropsOtherBlanksOfTheLine", "\v[param]\n\f low\x1a= 1\v\n", "param", "low", "2", "\v[param]\nlow=2\n"},
    {"BinaryJunkIsKept", "\xff\0\x01\n\r\r\n[param]\nlow=1\r\x80"s, "param", "low", "2",
     "\xff\0\x01\n\r\r\n[param]\nlow=2\r\x80"s},
    // Lone CRs end lines
    {"ReplaceKeepsALoneCrEnding", "[param]\rlow=1\rx=2\r", "param", "low", "5", "[param]\rlow=5\rx=2\r"},
    {"ReplaceKeepsLoneCrsAroundTheLine", "a\r\r[param]\r\rlow=1\r\rb", "param", "low", "5",
     "a\r\r[param]\r\rlow=5\r\rb"},
    {"InsertUsesTheLoneCrOfALoneCrFile", "[param]\ra=1\r[next]\r", "param", "low", "0",
     "[param]\ra=1\rlow=0\r[next]\r"},
    {"InsertedCrDoesNotSwallowAnLf", "; c\r[param]\n\n[next]\n", "param", "low", "0",
     "; c\r[param]\nlow=0\r\n\n[next]\n"},
    {"InsertAfterAHeaderEndingInCr", "[o\r", "o", "low", "0", "[o\rlow=0\r"},
    {"InsertAfterAKeyLineEndingInCr", "[param]\na=1\r", "param", "low", "0", "[param]\na=1\rlow=0\n"},
    {"LoneCrEndsAHeaderLine", "[other]\r[param]\nx=1\n", "param", "low", "0", "[other]\r[param]\nx=1\nlow=0\r"},
    {"AppendAfterALoneCrLastLine", "[other]\rx=1\r", "param", "low", "0", "[other]\rx=1\r[param]\rlow=0\r"},
    {"AppendAfterAnUnendedLineOfALoneCrFile", "[other]\rx=1", "param", "low", "0",
     "[other]\rx=1\r[param]\rlow=0\r"},
};

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyTheKeysLine) {
    const WriteCase& c = GetParam();
    const std::string written = profileWriteString(c.text, c.section, c.key, c.value);
    EXPECT_EQ(written, c.expected);
    EXPECT_EQ(profileReadInt(written, c.section, c.key, -99), std::stoi(c.value));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWrite, ::testing::ValuesIn(WRITE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileText, HugeLineWithoutNewline) {
    const std::string text(8u << 20, '=');
    EXPECT_EQ(profileReadInt(text, "param", "low", 5), 5);
    EXPECT_EQ(profileWriteString(text, "param", "low", "1"), text + "\n[param]\nlow=1\n");
}

// ---------------------------------------------------------------------------------------
// The file

std::string readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeWholeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

mode_t permissionsOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

struct WriteOutcome {
    bool written;
    std::string error;
};

// Writes low=value as a user without any privileges: root passes every permission check,
// so as root the write is made by a child process that has given up root first.
WriteOutcome writeUnprivileged(const char* value) {
    if (::geteuid() != 0) {
        const bool written = platformWritePrivateProfileString("param", "low", value, "Orvelconfig.ini");
        return {written, platformProfileError()};
    }
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        constexpr uid_t NOBODY = 65534;
        if (::setgid(NOBODY) != 0 || ::setuid(NOBODY) != 0) {
            ::_exit(2);
        }
        const bool written = platformWritePrivateProfileString("param", "low", value, "Orvelconfig.ini");
        const std::string report = (written ? "1" : "0") + std::string(platformProfileError());
        const bool sent = ::write(pipeEnds[1], report.data(), report.size()) == ssize_t(report.size());
        ::_exit(sent ? 0 : 3);
    }
    ::close(pipeEnds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t count; (count = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, std::size_t(count));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || report.empty()) {
        ADD_FAILURE() << "the unprivileged writer failed, status " << status;
        return {};
    }
    return {report[0] == '1', report.substr(1)};
}

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvel-profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        base = pattern;
        fs::permissions(base, fs::perms(0755));  // reachable for the unprivileged writer
        settingsDirectory = (base / "config").string();
        fs::create_directory(settingsDirectory);
        file = fs::path(settingsDirectory) / "Orvelconfig.ini";
    }

    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(base, ignored)) {
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
                fs::permissions(entry.path(), fs::perms(0755), ignored);
            }
        }
        fs::remove_all(base, ignored);
        settingsDirectory.clear();
    }

    bool write(const char* value) {
        return platformWritePrivateProfileString("param", "low", value, "Orvelconfig.ini");
    }
    std::int32_t read() { return platformGetPrivateProfileInt("param", "low", -99, "Orvelconfig.ini"); }

    // Names in the directory, to see that no temporary file is left behind.
    static std::vector<std::string> entriesOf(const fs::path& directory) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(directory)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path base;
    fs::path file;
};

TEST_F(ProfileFile, MissingFileReadsAsDefault) {
    EXPECT_EQ(read(), -99);
    settingsDirectory = (base / "not" / "there").string();
    EXPECT_EQ(read(), -99);
    settingsDirectory.clear();
    EXPECT_EQ(read(), -99);
}

TEST_F(ProfileFile, CreatesTheFileWithTheUmasksPermissions) {
    const mode_t oldMask = ::umask(027);
    const bool written = write("1");
    ::umask(oldMask);
    ASSERT_TRUE(written) << platformProfileError();
    EXPECT_STREQ(platformProfileError(), "");
    EXPECT_EQ(readWholeFile(file), "[param]\nlow=1\n");
    EXPECT_EQ(permissionsOf(file), 0640u);
    EXPECT_EQ(read(), 1);
    EXPECT_EQ(entriesOf(settingsDirectory), std::vector<std::string>{"Orvelconfig.ini"});
}

TEST_F(ProfileFile, ReplacesKeepingOtherLinesAndPermissions) {
    writeWholeFile(file, "; mine\r\n[param]\r\nlow=0\r\nextra=1");
    fs::permissions(file, fs::perms(0600));
    ASSERT_TRUE(write("1")) << platformProfileError();
    EXPECT_EQ(readWholeFile(file), "; mine\r\n[param]\r\nlow=1\r\nextra=1");
    EXPECT_EQ(permissionsOf(file), 0600u);
    EXPECT_EQ(read(), 1);

    fs::permissions(file, fs::perms(0604));
    ASSERT_TRUE(write("-2")) << platformProfileError();
    EXPECT_EQ(permissionsOf(file), 0604u);
    EXPECT_EQ(read(), -2);
    EXPECT_EQ(entriesOf(settingsDirectory), std::vector<std::string>{"Orvelconfig.ini"});
}

TEST_F(ProfileFile, BinaryFileIsKeptAroundTheKey) {
    const std::string junk = "\x7f" "ELF\0\0\x01\xff\n\r\0"s + std::string(300, '\0');
    writeWholeFile(file, junk);
    EXPECT_EQ(read(), -99);
    ASSERT_TRUE(write("1")) << platformProfileError();
    EXPECT_EQ(readWholeFile(file), junk + "\n[param]\nlow=1\n");
    EXPECT_EQ(read(), 1);
}

TEST_F(ProfileFile, FollowsARelativeSymlinkAndKeepsIt) {
    fs::create_directories(base / "dotfiles");
    writeWholeFile(base / "dotfiles" / "orvel.ini", "[param]\nlow=0\n");
    fs::create_symlink("../dotfiles/orvel.ini", file);
    EXPECT_EQ(read(), 0);
    ASSERT_TRUE(write("1")) << platformProfileError();
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(fs::read_symlink(file), "../dotfiles/orvel.ini");
    EXPECT_EQ(readWholeFile(base / "dotfiles" / "orvel.ini"), "[param]\nlow=1\n");
    EXPECT_EQ(read(), 1);
    EXPECT_EQ(entriesOf(settingsDirectory), std::vector<std::string>{"Orvelconfig.ini"});
}

TEST_F(ProfileFile, FollowsAChainOfLinksToAMissingTarget) {
    // config/Orvelconfig.ini -> /abs/hop -> store/deep/orvel.ini, which does not exist yet.
    fs::create_symlink("store/deep/orvel.ini", base / "hop");
    fs::create_symlink(base / "hop", file);
    ASSERT_TRUE(write("1")) << platformProfileError();
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_TRUE(fs::is_symlink(base / "hop"));
    EXPECT_EQ(readWholeFile(base / "store" / "deep" / "orvel.ini"), "[param]\nlow=1\n");
    EXPECT_EQ(permissionsOf(base / "store"), 0700u);
    EXPECT_EQ(read(), 1);
}

TEST_F(ProfileFile, SymlinkLoopIsRefused) {
    fs::create_symlink("Orvelconfig.ini", file);
    EXPECT_FALSE(write("1"));
    EXPECT_NE(std::string(platformProfileError()).find(file.string()), std::string::npos)
        << platformProfileError();
    EXPECT_EQ(read(), -99);
}

TEST_F(ProfileFile, CreatesMissingDirectoriesPrivately) {
    settingsDirectory = (base / "a" / "b" / "c").string();
    ASSERT_TRUE(write("1")) << platformProfileError();
    EXPECT_EQ(readWholeFile(base / "a" / "b" / "c" / "Orvelconfig.ini"), "[param]\nlow=1\n");
    EXPECT_EQ(permissionsOf(base / "a"), 0700u);
    EXPECT_EQ(permissionsOf(base / "a" / "b" / "c"), 0700u);
    EXPECT_EQ(read(), 1);
}

TEST_F(ProfileFile, UnwritableDirectoryLeavesTheOldFile) {
    const std::string old = "[param]\nlow=0\nkeep=me";
    writeWholeFile(file, old);
    fs::permissions(file, fs::perms(0666));  // the file is writable, its directory is not
    fs::permissions(settingsDirectory, fs::perms(0555));
    const WriteOutcome outcome = writeUnprivileged("1");
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.error, "cannot write " + file.string() + ": Permission denied");
    EXPECT_EQ(readWholeFile(file), old);
    EXPECT_EQ(entriesOf(settingsDirectory), std::vector<std::string>{"Orvelconfig.ini"});
}

TEST_F(ProfileFile, UncreatableDirectoryIsNamed) {
    fs::create_directory(base / "locked");
    fs::permissions(base / "locked", fs::perms(0555));
    settingsDirectory = (base / "locked" / "sub").string();
    const WriteOutcome outcome = writeUnprivileged("1");
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.error, "cannot write " + settingsDirectory + "/Orvelconfig.ini: cannot create directory " +
                                 settingsDirectory + ": Permission denied");
    EXPECT_FALSE(fs::exists(settingsDirectory));

    writeWholeFile(base / "plain", "not a directory");
    settingsDirectory = (base / "plain" / "sub").string();
    EXPECT_FALSE(write("1"));
    EXPECT_STREQ(platformProfileError(), ("cannot write " + settingsDirectory + "/Orvelconfig.ini: Not a directory").c_str());
    EXPECT_EQ(readWholeFile(base / "plain"), "not a directory");
}

// Files the program leaves alone: each write is refused, names the file, and changes
// nothing; reading gives the default.
struct RefusedCase {
    const char* name;
    std::function<void(const fs::path& file)> make;
    const char* reason;
};

const RefusedCase REFUSED_CASES[] = {
    {"Directory", [](const fs::path& file) { fs::create_directory(file); }, "not a regular file"},
    {"Fifo", [](const fs::path& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }, "not a regular file"},
    {"LargerThanOneMebibyte",
     [](const fs::path& file) { writeWholeFile(file, "[param]\nlow=1\n" + std::string(1u << 20, ';')); },
     "larger than 1 MiB"},
};

class ProfileFileRefused : public ProfileFile, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ProfileFileRefused, LeavesTheFileAlone) {
    GetParam().make(file);
    const std::string before = fs::is_regular_file(file) ? readWholeFile(file) : "";
    EXPECT_EQ(read(), -99);
    EXPECT_FALSE(write("2"));
    const std::string expected = "cannot write " + file.string() + ": " + GetParam().reason;
    EXPECT_EQ(std::string(platformProfileError()).substr(0, expected.size()), expected) << platformProfileError();
    if (fs::is_regular_file(file)) {
        EXPECT_EQ(readWholeFile(file), before);
    }
    EXPECT_EQ(entriesOf(settingsDirectory), std::vector<std::string>{"Orvelconfig.ini"});
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileFileRefused, ::testing::ValuesIn(REFUSED_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileFile, RefusesWhatWouldNotReadBack) {
    writeWholeFile(file, "[param]\nlow=0\n");
    const char* const bad[][3] = {
        {"param", "low", "1\n[x]"}, {"param", "a=b", "1"}, {"pa]ram", "low", "1"},
        {"param", ";low", "1"},     {"param", "", "1"},    {"par\ram", "low", "1"},
    };
    for (const auto& names : bad) {
        EXPECT_FALSE(platformWritePrivateProfileString(names[0], names[1], names[2], "Orvelconfig.ini"))
            << names[0] << " " << names[1] << " " << names[2];
        EXPECT_NE(std::string(platformProfileError()).find(file.string()), std::string::npos);
    }
    EXPECT_EQ(readWholeFile(file), "[param]\nlow=0\n");
}

TEST_F(ProfileFile, NoSettingsDirectory) {
    settingsDirectory.clear();
    EXPECT_FALSE(write("1"));
    EXPECT_NE(std::string(platformProfileError()).find("Orvelconfig.ini"), std::string::npos);
    EXPECT_NE(std::string(platformProfileError()).find("no settings directory"), std::string::npos);
}

// ---------------------------------------------------------------------------------------
// The XDG directory

struct XdgCase {
    const char* name;
    std::optional<std::string> configHome;
    std::optional<std::string> home;
    std::string expected;  // empty: the password database's home with "/.config"
};

const XdgCase XDG_CASES[] = {
    {"AbsoluteConfigHome", "/x/cfg", "/home/u", "/x/cfg"},
    {"RelativeConfigHomeIgnored", "rel/cfg", "/home/u", "/home/u/.config"},
    {"EmptyConfigHomeIgnored", "", "/home/u", "/home/u/.config"},
    {"UnsetConfigHome", std::nullopt, "/home/u", "/home/u/.config"},
    {"HomeWithTrailingSlash", std::nullopt, "/home/u/", "/home/u/.config"},
    {"RootHome", std::nullopt, "/", "/.config"},
    {"NoHome", std::nullopt, std::nullopt, ""},
    {"EmptyHome", std::nullopt, "", ""},
    {"RelativeHome", std::nullopt, "home/u", ""},
    {"AbsoluteConfigHomeWithoutHome", "/x/cfg", std::nullopt, "/x/cfg"},
};

class XdgDirectory : public ::testing::TestWithParam<XdgCase> {
protected:
    void SetUp() override {
        saved[0] = savedVariable("XDG_CONFIG_HOME");
        saved[1] = savedVariable("HOME");
    }
    void TearDown() override {
        setVariable("XDG_CONFIG_HOME", saved[0]);
        setVariable("HOME", saved[1]);
    }
    static std::optional<std::string> savedVariable(const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }
    static void setVariable(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    std::optional<std::string> saved[2];
};

TEST_P(XdgDirectory, FollowsTheBaseDirectoryRules) {
    const XdgCase& c = GetParam();
    setVariable("XDG_CONFIG_HOME", c.configHome);
    setVariable("HOME", c.home);
    std::string expected = c.expected;
    if (expected.empty()) {
        const passwd* entry = ::getpwuid(::getuid());
        const std::string home = entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
        if (!home.empty() && home[0] == '/') {
            expected = home + (home.back() == '/' ? "" : "/") + ".config";
        }
    }
    EXPECT_EQ(xdgSettingsDirectory(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, XdgDirectory, ::testing::ValuesIn(XDG_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
