// The settings file where the program keeps it itself: the private-profile text rules,
// the file written beside and renamed over the old one, and the XDG directory.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "platform/private_profile.h"
#include "platform/common/profile_text.h"
#include "platform/posix/settings_location.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::string settingsDirectory;  // what platformSettingsDirectory gives in these tests

}  // namespace

std::string platformSettingsDirectory() { return settingsDirectory; }

namespace {

// ---------------------------------------------------------------------------------------
// The text

// The value of low in [param] as Windows reads it, the default being -99: first the
// layout of the file, then values on their own (as low=VALUE): numbers wrap at 32 bits
// and stop at the first character that is no digit, with the prefixes 0x, 0o and 0b;
// matching outer quotes come off; a NUL byte ends the value.
TEST(ProfileText, ReadsWhatWindowsReads) {
    const std::pair<std::string, std::int32_t> files[] = {
        {"[PaRaM]\nLOW=3\n", 3}, {" \t[ \tparam\t ] \n\t low \t= \t42\t \n", 42},
        {"\v\f\x1a[\v\f\x1aparam\x1a\f\v]\v\n\f\x1a\vlow\v\x1a\f=\f\v\x1a\"42\"\x1a\f\v\n", 42},
        {"[param]\n\x01low=1\nlow\x1b=2\nlow=3\n", 3},  // other control characters are no blanks
        {"; c\r\n[param]\r\nlow=7\r\n", 7}, {"[param]\nlow=1\nLOW=2\n", 1},
        {"[param]\nx=1\n[PARAM]\nlow=5\n", -99},  // only the first section of a name counts
        {"[other]\nlow=1\n[param]\nx=2\n", -99}, {"[param]\nx=2\n[other]\nlow=1\n", -99},
        {"low=1\n[param]\n", -99}, {"[param]\n;low=1\n  ; low=2\nlow=3\n", 3},
        {"[param]\nlow\nlow 9\nlow=3\n", 3}, {"[param\nlow=4\n", 4}, {"[param]x]\nlow=4\n", 4},
        {"\xEF\xBB\xBF[param]\nlow=1\n", -99},  // a byte-order mark spoils the first header
        {"\0\0\n[param]\nlow=6\0 9\n"s, 6}, {"[param]low=5", -99},
        {"[other]\rlow=1\r[param]\rlow=5\r", 5}, {"[param]\nlow=7\r8\n", 7}, {"[param]\r\r\nlow=5", 5},
        {"[param]\n\rlow=5", 5},
    };
    for (const auto& [text, expected] : files) EXPECT_EQ(profileReadInt(text, "param", "low", -99), expected) << text;
    EXPECT_EQ(profileReadInt("[ZONE]\nSIZE=3\n", "zone", "size", -99), 3);

    const std::pair<std::string, std::int32_t> values[] = {
        {"4294967297", 1}, {"4294967295", -1}, {"99999999999999999999999999999999999", -1},
        {"0000000000000000000000000000001", 1}, {"2147483648", INT32_MIN}, {"-2147483648", INT32_MIN},
        {"-4294967297", -1}, {" +7x", 7}, {"1 2", 1}, {"abc", 0}, {"-", 0}, {"+-3", 0}, {"- 3", 0},
        {"017", 17}, {"=5", 0}, {"\x01\x1f 5", 5}, {"-\x01" "5", 0}, {"\x7f" "5", 0}, {"\xa0" "5", 0},
        {"0xaF", 175}, {"-0x10", -16}, {"0xFFFFFFFF", -1}, {"0X10", 0}, {"0o78", 7}, {"0b102", 2},
        {"0x", 0}, {"0xg1", 0}, {"\" 0x10\"", 16}, {"10x1", 10},
        {"", -99}, {" \t ", -99}, {"\"\"", -99}, {"'5'", 5}, {" \t\"5\" ", 5}, {"\" -5 \"", -5},
        {"' '", 0}, {"'5\"", 0}, {"\"", 0}, {"\"'5'\"", 0},
        {"\0" "5"s, -99}, {"\"5\0\""s, 0}, {"\"5\"\0x"s, 5}, {"\"5\" \0"s, 0},
    };
    for (const auto& [value, expected] : values) {
        EXPECT_EQ(profileReadInt("[param]\nlow=" + value + "\n", "param", "low", -99), expected) << value;
    }
}

// Writing low=value into [param] changes only the key's line, and the result reads back.
TEST(ProfileText, WritesOnlyTheKeysLine) {
    const struct {
        std::string text, value, expected;
    } cases[] = {
        {"; top \r\n[param]\r\n  LOW = 1 ; x\r\nother = 2\r\n\r\n", "0",
         "; top \r\n[param]\r\nlow=0\r\nother = 2\r\n\r\n"},
        {"[param]\nlow=1\r\nx=2\n", "5", "[param]\nlow=5\r\nx=2\n"},  // the line keeps its own ending
        {"[param]\nlow=1", "-3", "[param]\nlow=-3"},
        {"[param]\nlow=1\nlow=2\n[PARAM]\nlow=3\n", "0", "[param]\nlow=0\nlow=2\n[PARAM]\nlow=3\n"},
        // A new key goes after the section's last key line, or after its header.
        {"[param]\na=1\n\n; c\nb=2\n\n[next]\nx=1\n", "0", "[param]\na=1\n\n; c\nb=2\nlow=0\n\n[next]\nx=1\n"},
        {"[param]\n;low=1\nnot a key\n[next]\n", "0", "[param]\nlow=0\n;low=1\nnot a key\n[next]\n"},
        {"[param]\na=1\n[Param]\nlow=2\n", "0", "[param]\na=1\nlow=0\n[Param]\nlow=2\n"},
        // New lines end as the first line does.
        {"[param]\r\na=1\r\n[next]\r\n", "0", "[param]\r\na=1\r\nlow=0\r\n[next]\r\n"},
        {"; c\n[param]\r\na=1\r\n", "0", "; c\n[param]\r\na=1\r\nlow=0\n"},
        {"[param]\r\na=1", "0", "[param]\r\na=1\r\nlow=0\r\n"},
        {"[other]\r\nx=1", "0", "[other]\r\nx=1\r\n[param]\r\nlow=0\r\n"},
        {"low=1\n", "0", "low=1\n[param]\nlow=0\n"},
        {"\v[param]\n\f low\x1a= 1\v\n", "2", "\v[param]\nlow=2\n"},
        {"\xff\0\x01\n\r\r\n[param]\nlow=1\r\x80"s, "2", "\xff\0\x01\n\r\r\n[param]\nlow=2\r\x80"s},
        // Lone CRs end lines.
        {"[param]\rlow=1\rx=2\r", "5", "[param]\rlow=5\rx=2\r"},
        {"[param]\ra=1\r[next]\r", "0", "[param]\ra=1\rlow=0\r[next]\r"},
        {"; c\r[param]\n\n[next]\n", "0", "; c\r[param]\nlow=0\r\n\n[next]\n"},  // no CR swallows an LF
        {"[param\r", "0", "[param\rlow=0\r"},
        {"[other]\r[param]\nx=1\n", "0", "[other]\r[param]\nx=1\nlow=0\r"},
        {"[other]\rx=1\r", "0", "[other]\rx=1\r[param]\rlow=0\r"},
        {"[other]\rx=1", "0", "[other]\rx=1\r[param]\rlow=0\r"},
    };
    for (const auto& c : cases) {
        const std::string written = profileWriteString(c.text, "param", "low", c.value);
        EXPECT_EQ(written, c.expected) << c.text;
        EXPECT_EQ(profileReadInt(written, "param", "low", -99), std::stoi(c.value)) << c.text;
    }
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

// A scratch base directory with the settings directory config/ in it.
class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvel-profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        base = pattern;
        settingsDirectory = (base / "config").string();
        fs::create_directory(settingsDirectory);
        file = fs::path(settingsDirectory) / "Orvelconfig.ini";
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(base, ignored);
        settingsDirectory.clear();
    }

    fs::path base;
    fs::path file;
};

// A file of exactly 1 MiB is still read and rewritten; one byte more is refused.
const std::string MEBIBYTE = "[param]\nlow=0\n" + std::string((1u << 20) - 14, ';');

// Writes of low=value under umask 027, after the files are made under the base directory
// (contents "->x": a link to x, under the base when x starts with '/'; "/": a directory;
// "|": a FIFO), with config/Orvelconfig.ini given oldMode when not 0 and the settings
// directory settings. A write that succeeds leaves `expected` in `where` with the
// permissions `mode` (0: not checked), makes the directory `made` (if any) private to the
// user, and keeps a link at the settings file's place a link to the same target. A file
// the program leaves alone (where is null) is refused, named with the reason `expected`
// and not changed, and reads as the default. No temporary is left behind.
struct FileCase {
    std::vector<std::pair<std::string, std::string>> files;
    mode_t oldMode;
    const char* settings;
    const char* where;
    std::string expected;
    mode_t mode;
    const char* made;
};

const char* const FILE_NAME = "config/Orvelconfig.ini";
const FileCase FILE_CASES[] = {
    {{}, 0, "config", FILE_NAME, "[param]\nlow=1\n", 0640, nullptr},
    {{{FILE_NAME, "; mine\r\n[param]\r\nlow=0\r\nextra=1"}}, 0604, "config", FILE_NAME,
     "; mine\r\n[param]\r\nlow=1\r\nextra=1", 0604, nullptr},
    {{{FILE_NAME, "\x7f" "ELF\0\0\x01\xff\n\r\0"s}}, 0, "config", FILE_NAME,
     "\x7f" "ELF\0\0\x01\xff\n\r\0\n[param]\nlow=1\n"s, 0, nullptr},
    {{{FILE_NAME, MEBIBYTE}}, 0, "config", FILE_NAME, "[param]\nlow=1\n" + MEBIBYTE.substr(14), 0, nullptr},
    {{{"dotfiles/orvel.ini", "[param]\nlow=0\n"}, {FILE_NAME, "->../dotfiles/orvel.ini"}}, 0, "config",
     "dotfiles/orvel.ini", "[param]\nlow=1\n", 0, nullptr},
    {{{"hop", "->store/deep/orvel.ini"}, {FILE_NAME, "->/hop"}}, 0, "config", "store/deep/orvel.ini",
     "[param]\nlow=1\n", 0640, "store"},
    {{}, 0, "a/b/c", "a/b/c/Orvelconfig.ini", "[param]\nlow=1\n", 0640, "a/b"},
    {{{FILE_NAME, "/"}}, 0, "config", nullptr, "not a regular file", 0, nullptr},
    {{{FILE_NAME, "|"}}, 0, "config", nullptr, "not a regular file", 0, nullptr},
    {{{FILE_NAME, MEBIBYTE + ";"}}, 0, "config", nullptr, "larger than 1 MiB", 0, nullptr},
    {{{FILE_NAME, "->Orvelconfig.ini"}}, 0, "config", nullptr, "Too many levels of symbolic links", 0, nullptr},
};

TEST_F(ProfileFile, WritesTheFileOrLeavesItAlone) {
    for (const FileCase& c : FILE_CASES) {
        TearDown();
        SetUp();
        SCOPED_TRACE(c.files.empty() ? c.settings : c.files.back().second.substr(0, 30));
        for (const auto& [path, contents] : c.files) {
            const fs::path at = base / path;
            fs::create_directories(at.parent_path());
            if (contents == "/") {
                fs::create_directory(at);
            } else if (contents == "|") {
                ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0);
            } else if (contents.rfind("->", 0) == 0) {
                fs::create_symlink(contents[2] == '/' ? base.string() + contents.substr(2) : contents.substr(2), at);
            } else {
                writeWholeFile(at, contents);
            }
        }
        if (c.oldMode != 0) fs::permissions(file, fs::perms(c.oldMode));
        settingsDirectory = (base / c.settings).string();
        const fs::path link = fs::is_symlink(file) ? fs::read_symlink(file) : fs::path();
        const std::string before = isRegularFile(file) ? readWholeFile(file) : "";
        EXPECT_FALSE(platformWritePrivateProfileString("param", "", "1", "Orvelconfig.ini"));  // leaves an error
        const mode_t oldMask = ::umask(027);
        const bool written = writeLow("1");
        ::umask(oldMask);
        EXPECT_EQ(fs::is_symlink(file) ? fs::read_symlink(file) : fs::path(), link);
        if (c.where == nullptr) {
            EXPECT_FALSE(written);
            const std::string expected = "cannot write " + file.string() + ": " + c.expected;
            EXPECT_EQ(std::string(platformProfileError()).substr(0, expected.size()), expected) << platformProfileError();
            EXPECT_TRUE(!isRegularFile(file) || readWholeFile(file) == before);
            EXPECT_EQ(readLow(), -99);
            EXPECT_EQ(entriesOf(settingsDirectory), std::vector<std::string>{"Orvelconfig.ini"});
            continue;
        }
        ASSERT_TRUE(written) << platformProfileError();
        EXPECT_STREQ(platformProfileError(), "");
        const fs::path target = base / c.where;
        EXPECT_TRUE(readWholeFile(target) == c.expected) << readWholeFile(target).substr(0, 80);
        EXPECT_EQ(c.mode != 0 ? permissionsOf(target) : 0, c.mode);
        EXPECT_EQ(c.made != nullptr ? permissionsOf(base / c.made) : 0700u, 0700u);
        EXPECT_EQ(entriesOf(target.parent_path()), std::vector<std::string>{target.filename().string()});
        EXPECT_EQ(readLow(), 1);
    }
}

// Where there is no settings directory, or one that cannot be made, the error says so.
TEST_F(ProfileFile, DirectoriesThatCannotBeMadeAreNamed) {
    fs::create_symlink("nowhere", base / "dangling");
    settingsDirectory = (base / "dangling" / "sub").string();
    EXPECT_FALSE(writeLow("1"));
    EXPECT_EQ(std::string(platformProfileError()), "cannot write " + settingsDirectory +
                                                       "/Orvelconfig.ini: cannot create directory " +
                                                       settingsDirectory + ": No such file or directory");
    settingsDirectory = (base / "config" / "Orvelconfig.ini" / "sub").string();
    writeWholeFile(file, "[param]\nlow=0\n");
    EXPECT_FALSE(writeLow("1"));
    EXPECT_EQ(std::string(platformProfileError()), "cannot write " + settingsDirectory + "/Orvelconfig.ini: Not a directory");
    settingsDirectory.clear();
    EXPECT_EQ(readLow(), -99);
    EXPECT_FALSE(writeLow("1"));
    EXPECT_EQ(std::string(platformProfileError()),
              "cannot write Orvelconfig.ini: no settings directory, as no home directory is known");
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

// The configuration directory for XDG_CONFIG_HOME and HOME (unset: nullptr). Without a
// usable HOME the password database's home is taken, with "/.config": "*" below.
TEST(XdgDirectory, FollowsTheBaseDirectoryRules) {
    const struct {
        const char* configHome;
        const char* home;
        std::string expected;
    } cases[] = {
        {"/x/cfg", "/home/u", "/x/cfg"},       {"rel/cfg", "/home/u", "/home/u/.config"},
        {"", "/home/u", "/home/u/.config"},    {nullptr, "/home/u", "/home/u/.config"},
        {nullptr, "/home/u/", "/home/u/.config"}, {nullptr, "/", "/.config"},
        {nullptr, nullptr, "*"},               {nullptr, "home/u", "*"},
        {"/x/cfg", nullptr, "/x/cfg"},
    };
    const passwd* entry = ::getpwuid(::getuid());
    const std::string databaseHome = entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
    const std::string fromDatabase =
        databaseHome.empty() || databaseHome[0] != '/' ? "" : (fs::path(databaseHome) / ".config").string();
    const char* const names[] = {"XDG_CONFIG_HOME", "HOME"};
    std::optional<std::string> saved[2];
    for (int i = 0; i < 2; ++i) {
        if (const char* value = std::getenv(names[i])) saved[i] = value;
    }
    for (const auto& c : cases) {
        const char* values[] = {c.configHome, c.home};
        for (int i = 0; i < 2; ++i) values[i] ? ::setenv(names[i], values[i], 1) : ::unsetenv(names[i]);
        EXPECT_EQ(xdgSettingsDirectory(), c.expected == "*" ? fromDatabase : c.expected)
            << (c.configHome ? c.configHome : "unset") << ", " << (c.home ? c.home : "unset");
    }
    for (int i = 0; i < 2; ++i) saved[i] ? ::setenv(names[i], saved[i]->c_str(), 1) : ::unsetenv(names[i]);
}

}  // namespace
