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

// The value of low in [param], the default being -99.
struct ReadCase {
    const char* name;
    std::string text;
    std::int32_t expected;
};

const ReadCase READ_CASES[] = {
    {"NamesIgnoreCase", "[PaRaM]\nLOW=3\n", 3},
    {"BlanksAroundEverything", " \t[ \tparam\t ] \n\t low \t= \t42\t \n", 42},
    {"OtherBlanksAroundEverything",
     "\v\f\x1a[\v\f\x1aparam\x1a\f\v]\v\n\f\x1a\vlow\v\x1a\f=\f\v\x1a\"42\"\x1a\f\v\n", 42},
    {"OtherControlCharactersAreNoBlanks", "[param]\n\x01low=1\nlow\x1b=2\nlow=3\n", 3},
    {"CrlfLines", "; c\r\n[param]\r\nlow=7\r\n", 7},
    {"FirstKeyWins", "[param]\nlow=1\nLOW=2\n", 1},
    {"OnlyTheFirstSectionCounts", "[param]\nx=1\n[PARAM]\nlow=5\n", -99},
    {"KeyInAnotherSection", "[other]\nlow=1\n[param]\nx=2\n", -99},
    {"KeyAfterTheSection", "[param]\nx=2\n[other]\nlow=1\n", -99},
    {"KeyBeforeAnySection", "low=1\n[param]\n", -99},
    {"CommentIsNoKey", "[param]\n;low=1\n  ; low=2\nlow=3\n", 3},
    {"LineWithoutEqualsIsNoKey", "[param]\nlow\nlow 9\nlow=3\n", 3},
    {"HeaderWithoutClosingBracket", "[param\nlow=4\n", 4},
    {"NameEndsAtTheFirstClosingBracket", "[param]x]\nlow=4\n", 4},
    {"ByteOrderMarkSpoilsTheFirstHeader", "\xEF\xBB\xBF[param]\nlow=1\n", -99},
    {"NulBytesAreData", "\0\0\n[param]\nlow=6\0 9\n"s, 6},
    {"NoNewlineAtAll", "[param]low=5", -99},
    // Line endings
    {"CrOnlyLines", "[other]\rlow=1\r[param]\rlow=5\r", 5},
    {"LoneCrEndsTheDigits", "[param]\nlow=7\r8\n", 7},
    {"CrThenCrlf", "[param]\r\r\nlow=5", 5},
    {"LfThenCr", "[param]\n\rlow=5", 5},
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, GivesTheValueWindowsWouldRead) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(profileReadInt(c.text, "param", "low", -99), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRead, ::testing::ValuesIn(READ_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileText, NamesMatchWhateverTheirCase) { EXPECT_EQ(profileReadInt("[ZONE]\nSIZE=3\n", "zone", "size", -99), 3); }

// The value of low=VALUE in [param], the default being -99: numbers wrap at 32 bits and
// stop at the first character that is no digit, with the prefixes 0x, 0o and 0b;
// matching outer quotes come off; a NUL byte ends the value.
TEST(ProfileText, ValuesReadAsWindowsReadsThem) {
    const struct {
        std::string value;
        std::int32_t expected;
    } cases[] = {
        {"4294967297", 1}, {"4294967295", -1}, {"99999999999999999999999999999999999", -1},
        {"0000000000000000000000000000001", 1}, {"2147483648", INT32_MIN}, {"-2147483648", INT32_MIN},
        {"-4294967297", -1}, {" +7x", 7}, {"1 2", 1}, {"abc", 0}, {"-", 0}, {"+-3", 0}, {"- 3", 0},
        {"017", 17}, {"=5", 0}, {"\x01\x1f 5", 5}, {"-\x01" "5", 0}, {"\x7f" "5", 0}, {"\xa0" "5", 0},
        // Bases
        {"0xaF", 175}, {"-0x10", -16}, {"0xFFFFFFFF", -1}, {"0X10", 0}, {"0o78", 7}, {"0b102", 2},
        {"0x", 0}, {"0xg1", 0}, {"\" 0x10\"", 16}, {"10x1", 10},
        // Empty values and quotes
        {"", -99}, {" \t ", -99}, {"\"\"", -99}, {"'5'", 5}, {" \t\"5\" ", 5}, {"\" -5 \"", -5},
        {"' '", 0}, {"'5\"", 0}, {"\"", 0}, {"\"'5'\"", 0},
        // NUL bytes
        {"\0" "5"s, -99}, {"\"5\0\""s, 0}, {"\"5\"\0x"s, 5}, {"\"5\" \0"s, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(profileReadInt("[param]\nlow=" + c.value + "\n", "param", "low", -99), c.expected) << c.value;
    }
}

// ---------------------------------------------------------------------------------------
// Writing

// Writing low=value into [param].
struct WriteCase {
    const char* name;
    std::string text;
    std::string value;
    std::string expected;
};

const WriteCase WRITE_CASES[] = {
    {"ReplaceKeepsOtherBytesAndCrlf", "; top \r\n[param]\r\n  LOW = 1 ; x\r\nother = 2\r\n\r\n", "0",
     "; top \r\n[param]\r\nlow=0\r\nother = 2\r\n\r\n"},
    {"ReplaceKeepsTheLinesOwnEnding", "[param]\nlow=1\r\nx=2\n", "5", "[param]\nlow=5\r\nx=2\n"},
    {"ReplaceKeepsAMissingFinalNewline", "[param]\nlow=1", "-3", "[param]\nlow=-3"},
    {"ReplaceUsesTheCallersSpelling", "[PARAM]\nLow=1\n", "2", "[PARAM]\nlow=2\n"},
    {"ReplacesOnlyTheFirstMatch", "[param]\nlow=1\nlow=2\n[PARAM]\nlow=3\n", "0",
     "[param]\nlow=0\nlow=2\n[PARAM]\nlow=3\n"},
    {"InsertsAfterTheLastKeyLine", "[param]\na=1\n\n; c\nb=2\n\n[next]\nx=1\n", "0",
     "[param]\na=1\n\n; c\nb=2\nlow=0\n\n[next]\nx=1\n"},
    {"InsertsAfterTheHeaderWithoutKeys", "[param]\n;low=1\nnot a key\n[next]\n", "0",
     "[param]\nlow=0\n;low=1\nnot a key\n[next]\n"},
    {"InsertsIntoTheFirstMatchingSection", "[param]\na=1\n[Param]\nlow=2\n", "0",
     "[param]\na=1\nlow=0\n[Param]\nlow=2\n"},
    {"InsertUsesCrlfOfACrlfFile", "[param]\r\na=1\r\n[next]\r\n", "0", "[param]\r\na=1\r\nlow=0\r\n[next]\r\n"},
    {"InsertFollowsTheFirstLineEnding", "; c\n[param]\r\na=1\r\n", "0", "; c\n[param]\r\na=1\r\nlow=0\n"},
    {"InsertAfterALastLineWithoutEnding", "[param]\r\na=1", "0", "[param]\r\na=1\r\nlow=0\r\n"},
    {"AppendsAMissingSection", "[other]\nx=1\n", "0", "[other]\nx=1\n[param]\nlow=0\n"},
    {"AppendAddsAFinalNewlineFirst", "[other]\r\nx=1", "0", "[other]\r\nx=1\r\n[param]\r\nlow=0\r\n"},
    {"KeyBeforeAnySectionIsKept", "low=1\n", "0", "low=1\n[param]\nlow=0\n"},
    {"ReplaceDropsOtherBlanksOfTheLine", "\v[param]\n\f low\x1a= 1\v\n", "2", "\v[param]\nlow=2\n"},
    {"BinaryJunkIsKept", "\xff\0\x01\n\r\r\n[param]\nlow=1\r\x80"s, "2", "\xff\0\x01\n\r\r\n[param]\nlow=2\r\x80"s},
    // Lone CRs end lines
    {"ReplaceKeepsALoneCrEnding", "[param]\rlow=1\rx=2\r", "5", "[param]\rlow=5\rx=2\r"},
    {"InsertUsesTheLoneCrOfALoneCrFile", "[param]\ra=1\r[next]\r", "0", "[param]\ra=1\rlow=0\r[next]\r"},
    {"InsertedCrDoesNotSwallowAnLf", "; c\r[param]\n\n[next]\n", "0", "; c\r[param]\nlow=0\r\n\n[next]\n"},
    {"InsertAfterAHeaderEndingInCr", "[param\r", "0", "[param\rlow=0\r"},
    {"LoneCrEndsAHeaderLine", "[other]\r[param]\nx=1\n", "0", "[other]\r[param]\nx=1\nlow=0\r"},
    {"AppendAfterALoneCrLastLine", "[other]\rx=1\r", "0", "[other]\rx=1\r[param]\rlow=0\r"},
    {"AppendAfterAnUnendedLineOfALoneCrFile", "[other]\rx=1", "0", "[other]\rx=1\r[param]\rlow=0\r"},
};

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyTheKeysLine) {
    const WriteCase& c = GetParam();
    const std::string written = profileWriteString(c.text, "param", "low", c.value);
    EXPECT_EQ(written, c.expected);
    EXPECT_EQ(profileReadInt(written, "param", "low", -99), std::stoi(c.value));
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

// Names in the directory, to see that no temporary file is left behind.
std::vector<std::string> entriesOf(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool isRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool writeLow(const char* value) { return platformWritePrivateProfileString("param", "low", value, "Orvelconfig.ini"); }
std::int32_t readLow() { return platformGetPrivateProfileInt("param", "low", -99, "Orvelconfig.ini"); }

struct WriteOutcome {
    bool written;
    std::string error;
};

// Writes low=value as a user without any privileges: root passes every permission check,
// so as root the write is made by a child process that has given up root first.
WriteOutcome writeUnprivileged(const char* value) {
    if (::geteuid() != 0) {
        const bool written = writeLow(value);
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
        const bool written = writeLow(value);
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

// A scratch base directory with the settings directory config/ in it, reachable for the
// unprivileged writer.
class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvel-profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        base = pattern;
        fs::permissions(base, fs::perms(0755));
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

    fs::path base;
    fs::path file;
};

TEST_F(ProfileFile, MissingFileOrDirectoryReadsAsDefault) {
    EXPECT_EQ(readLow(), -99);
    settingsDirectory = (base / "not" / "there").string();
    EXPECT_EQ(readLow(), -99);
    settingsDirectory.clear();
    EXPECT_EQ(readLow(), -99);
    EXPECT_FALSE(writeLow("1"));
    EXPECT_EQ(std::string(platformProfileError()),
              "cannot write Orvelconfig.ini: no settings directory, as no home directory is known");
}

// A file of exactly 1 MiB is still read and rewritten; one byte more is refused.
const std::string MEBIBYTE = "[param]\nlow=0\n" + std::string((1u << 20) - 14, ';');

// Writes that succeed, under umask 027: what `make` leaves in the base directory, the
// value written, the file (relative to the base) that then holds `expected` with the
// permissions `mode` (0: not checked), and a directory the write made, private to the
// user. A link at the settings file's place stays a link to the same target.
struct WrittenCase {
    const char* name;
    std::function<void(const fs::path& base, const fs::path& file)> make;
    const char* value;
    const char* where;
    std::string expected;
    mode_t mode;
    const char* madeDirectory;
};

const WrittenCase WRITTEN_CASES[] = {
    {"NewFileTakesTheUmasksPermissions", [](const fs::path&, const fs::path&) {}, "1", "config/Orvelconfig.ini",
     "[param]\nlow=1\n", 0640, nullptr},
    {"ReplacementKeepsOtherBytesAndThePermissions",
     [](const fs::path&, const fs::path& file) {
         writeWholeFile(file, "; mine\r\n[param]\r\nlow=0\r\nextra=1");
         fs::permissions(file, fs::perms(0604));
     },
     "-2", "config/Orvelconfig.ini", "; mine\r\n[param]\r\nlow=-2\r\nextra=1", 0604, nullptr},
    {"BinaryFileIsKeptAroundTheKey",
     [](const fs::path&, const fs::path& file) { writeWholeFile(file, "\x7f" "ELF\0\0\x01\xff\n\r\0"s); }, "1",
     "config/Orvelconfig.ini", "\x7f" "ELF\0\0\x01\xff\n\r\0\n[param]\nlow=1\n"s, 0, nullptr},
    {"OneMebibyteIsStillASettingsFile", [](const fs::path&, const fs::path& file) { writeWholeFile(file, MEBIBYTE); },
     "1", "config/Orvelconfig.ini", "[param]\nlow=1\n" + MEBIBYTE.substr(14), 0, nullptr},
    {"RelativeLinkIsFollowedFromItsOwnDirectory",
     [](const fs::path& base, const fs::path& file) {
         fs::create_directories(base / "dotfiles");
         writeWholeFile(base / "dotfiles" / "orvel.ini", "[param]\nlow=0\n");
         fs::create_symlink("../dotfiles/orvel.ini", file);
     },
     "1", "dotfiles/orvel.ini", "[param]\nlow=1\n", 0, nullptr},
    {"ChainOfLinksToAMissingTarget",  // config/Orvelconfig.ini -> /abs/hop -> store/deep/orvel.ini
     [](const fs::path& base, const fs::path& file) {
         fs::create_symlink("store/deep/orvel.ini", base / "hop");
         fs::create_symlink(base / "hop", file);
     },
     "1", "store/deep/orvel.ini", "[param]\nlow=1\n", 0640, "store"},
    {"MissingDirectoriesAreMade",
     [](const fs::path& base, const fs::path&) { settingsDirectory = (base / "a" / "b" / "c").string(); }, "1",
     "a/b/c/Orvelconfig.ini", "[param]\nlow=1\n", 0640, "a/b"},
};

class ProfileFileWritten : public ProfileFile, public ::testing::WithParamInterface<WrittenCase> {};

TEST_P(ProfileFileWritten, HoldsTheNewValueAndNothingElseChanges) {
    const WrittenCase& c = GetParam();
    const mode_t oldMask = ::umask(027);
    c.make(base, file);
    const bool linked = fs::is_symlink(file);
    const fs::path link = linked ? fs::read_symlink(file) : fs::path();
    EXPECT_FALSE(platformWritePrivateProfileString("param", "", "1", "Orvelconfig.ini"));  // leaves an error
    const bool written = writeLow(c.value);
    ::umask(oldMask);
    ASSERT_TRUE(written) << platformProfileError();
    EXPECT_STREQ(platformProfileError(), "");
    const fs::path target = base / c.where;
    EXPECT_TRUE(readWholeFile(target) == c.expected) << readWholeFile(target).substr(0, 80);
    EXPECT_EQ(c.mode != 0 ? permissionsOf(target) : 0, c.mode);
    EXPECT_EQ(c.madeDirectory != nullptr ? permissionsOf(base / c.madeDirectory) : 0700u, 0700u);
    EXPECT_EQ(entriesOf(target.parent_path()), std::vector<std::string>{target.filename().string()});
    EXPECT_EQ(linked ? fs::read_symlink(file) : fs::path(), link);
    EXPECT_EQ(readLow(), std::stoi(c.value));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileFileWritten, ::testing::ValuesIn(WRITTEN_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// Files the program leaves alone: each write is refused, names the file and the reason,
// and changes nothing; reading gives the default.
struct RefusedCase {
    const char* name;
    std::function<void(const fs::path& file)> make;
    const char* reason;
};

const RefusedCase REFUSED_CASES[] = {
    {"Directory", [](const fs::path& file) { fs::create_directory(file); }, "not a regular file"},
    {"Fifo", [](const fs::path& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }, "not a regular file"},
    {"LargerThanOneMebibyte", [](const fs::path& file) { writeWholeFile(file, MEBIBYTE + ";"); }, "larger than 1 MiB"},
    {"LinkLoop", [](const fs::path& file) { fs::create_symlink("Orvelconfig.ini", file); },
     "Too many levels of symbolic links"},
};

class ProfileFileRefused : public ProfileFile, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ProfileFileRefused, LeavesTheFileAlone) {
    GetParam().make(file);
    const std::string before = isRegularFile(file) ? readWholeFile(file) : "";
    EXPECT_EQ(readLow(), -99);
    EXPECT_FALSE(writeLow("2"));
    const std::string expected = "cannot write " + file.string() + ": " + GetParam().reason;
    EXPECT_EQ(std::string(platformProfileError()).substr(0, expected.size()), expected) << platformProfileError();
    EXPECT_TRUE(!isRegularFile(file) || readWholeFile(file) == before);
    EXPECT_EQ(entriesOf(settingsDirectory), std::vector<std::string>{"Orvelconfig.ini"});
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileFileRefused, ::testing::ValuesIn(REFUSED_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileFile, DirectoriesThatCannotBeWrittenOrMadeAreNamed) {
    const std::string old = "[param]\nlow=0\nkeep=me";
    writeWholeFile(file, old);
    fs::permissions(file, fs::perms(0666));  // the file is writable, its directory is not
    fs::permissions(settingsDirectory, fs::perms(0555));
    WriteOutcome outcome = writeUnprivileged("1");
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.error, "cannot write " + file.string() + ": Permission denied");
    EXPECT_EQ(readWholeFile(file), old);
    EXPECT_EQ(entriesOf(settingsDirectory), std::vector<std::string>{"Orvelconfig.ini"});

    settingsDirectory = (base / "config" / "sub").string();
    outcome = writeUnprivileged("1");
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.error, "cannot write " + settingsDirectory + "/Orvelconfig.ini: cannot create directory " +
                                 settingsDirectory + ": Permission denied");

    settingsDirectory = (base / "config" / "Orvelconfig.ini" / "sub").string();
    EXPECT_FALSE(writeLow("1"));
    EXPECT_EQ(std::string(platformProfileError()), "cannot write " + settingsDirectory + "/Orvelconfig.ini: Not a directory");
    EXPECT_EQ(readWholeFile(file), old);
}

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
    {"RelativeHome", std::nullopt, "home/u", ""},
    {"AbsoluteConfigHomeWithoutHome", "/x/cfg", std::nullopt, "/x/cfg"},
};

// Sets or unsets an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name(name) {
        if (const char* old = std::getenv(name)) saved = old;
        set(value);
    }
    ~ScopedVariable() { set(saved); }

private:
    void set(const std::optional<std::string>& value) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    const char* name;
    std::optional<std::string> saved;
};

class XdgDirectory : public ::testing::TestWithParam<XdgCase> {};

TEST_P(XdgDirectory, FollowsTheBaseDirectoryRules) {
    const XdgCase& c = GetParam();
    const ScopedVariable setConfigHome("XDG_CONFIG_HOME", c.configHome), setHome("HOME", c.home);
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
