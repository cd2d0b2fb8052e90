// The configure dialog and the settings file it writes: OK stores the check box, Cancel,
// Escape and the close button leave the file as it was, and a Windows directory that
// cannot be written sends the setting to the user's own file, or, when that fails too,
// tells the user.
#include <string>

#include "cases.h"
#include "harness.h"

namespace {

constexpr char DIALOG_CLASS[] = "#32770";
constexpr char DIALOG_TITLE[] = "Orvel v0.92";
constexpr int CHECK_BOX = 1000;

struct Dialog {
    Saver saver;
    HWND window;
};

bool isChecked(const Dialog& dialog) {
    return SendDlgItemMessageA(dialog.window, CHECK_BOX, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Fails when the saver shows a message box, which it does only when a setting is lost.
void expectNoMessageBox(const Saver& saver) {
    if (findTopLevel(saver.id, DIALOG_CLASS, "Orvel") != nullptr) fail("Orvel.scr said the setting was not saved");
}

Dialog openDialog(bool expectChecked) {
    Dialog dialog{startSaver("/c"), nullptr};
    dialog.window = waitForTopLevel(dialog.saver, DIALOG_CLASS, DIALOG_TITLE, 20000);
    waitUntil([&] { return IsWindowVisible(dialog.window) != FALSE; }, 10000, "the dialog to be shown");
    if (isChecked(dialog) != expectChecked) {
        fail("the check box starts %s", expectChecked ? "unchecked" : "checked");
    }
    return dialog;
}

// A click on the check box, as the user toggles it.
void toggle(const Dialog& dialog) {
    const bool before = isChecked(dialog);
    clickUntil(centreOf(GetDlgItem(dialog.window, CHECK_BOX)), [&] { return isChecked(dialog) != before; },
               "the check box's toggle");
    waitUntil([&] { return GetForegroundWindow() == dialog.window; }, 10000, "the dialog to be in front");
}

void expectEndsWithZero(const Dialog& dialog, const char* how) {
    waitUntil(
        [&] {
            expectNoMessageBox(dialog.saver);
            return hasExited(dialog.saver);
        },
        10000, how);
    DWORD code = 0;
    GetExitCodeProcess(dialog.saver.process, &code);
    if (code != 0) fail("Orvel.scr /c ended with %ld, not 0", long(code));
}

std::string describe(const std::optional<std::string>& bytes) {
    if (!bytes) return "(no file)";
    std::string shown;
    for (char c : *bytes) {
        if (c == '\r') shown += "\\r";
        else if (c == '\n') shown += "\\n";
        else shown += c;
    }
    return "\"" + shown + "\"";
}

void expectFile(const std::string& path, const std::optional<std::string>& expected) {
    const std::optional<std::string> actual = readFileBytes(path);
    if (actual != expected) {
        fail("%s holds %s, not %s", path.c_str(), describe(actual).c_str(), describe(expected).c_str());
    }
}

const std::string SAVED_LOW = "[param]\r\nlow=1\r\n";

// The Windows directory's settings file made read-only, as attrib +r does. Wine keeps
// that as the file's Unix write permission, which does not stop root; where the driver
// can still open the file for writing, it also holds it open against writers until the
// case ends, so the saver's write fails either way.
class ReadOnlySettings {
public:
    explicit ReadOnlySettings(const std::string& bytes) : path_(windowsSettingsFile()) {
        writeFileBytes(path_, bytes);
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE probe = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return;
        CloseHandle(probe);
        note("the read-only attribute does not stop writes here; holding the file open against writers");
        guard_ = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (guard_ == INVALID_HANDLE_VALUE) fail("cannot hold %s open", path_.c_str());
    }
    ~ReadOnlySettings() {
        if (guard_ != INVALID_HANDLE_VALUE) CloseHandle(guard_);
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    ReadOnlySettings(const ReadOnlySettings&) = delete;
    ReadOnlySettings& operator=(const ReadOnlySettings&) = delete;

private:
    std::string path_;
    HANDLE guard_ = INVALID_HANDLE_VALUE;
};

}  // namespace

void configureOkCase() {
    clearSettings();
    const Dialog dialog = openDialog(false);
    toggle(dialog);
    pressKey(VK_RETURN);
    expectEndsWithZero(dialog, "Orvel.scr /c to end after OK");
    expectFile(windowsSettingsFile(), SAVED_LOW);
    expectFile(userSettingsFile(), std::nullopt);
}

void configureLeavesFileCase() {
    clearSettings();
    // Only bit 0 of 3 counts: the box starts checked.
    const std::string original = "; kept byte for byte\r\n[param]\r\nlow=3\r\n[other]\r\nx = y\r\n";
    writeFileBytes(windowsSettingsFile(), original);

    struct Way {
        const char* name;
        void (*dismiss)(const Dialog&);
    };
    const Way ways[] = {
        {"Cancel",
         [](const Dialog& d) {
             clickUntil(centreOf(GetDlgItem(d.window, IDCANCEL)), [&] { return hasExited(d.saver); },
                        "the dialog's end");
         }},
        {"Escape", [](const Dialog&) { pressKey(VK_ESCAPE); }},
        // What the caption's close button sends.
        {"the close button", [](const Dialog& d) { PostMessageA(d.window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Way& way : ways) {
        const Dialog dialog = openDialog(true);
        toggle(dialog);
        way.dismiss(dialog);
        expectEndsWithZero(dialog, way.name);
        expectFile(windowsSettingsFile(), original);
        expectFile(userSettingsFile(), std::nullopt);
        note("%s left the file as it was", way.name);
    }
}

void configureReadOnlyCase() {
    clearSettings();
    const std::string original = "[param]\r\nlow=0\r\n";
    const ReadOnlySettings readOnly(original);

    const Dialog first = openDialog(false);
    toggle(first);
    pressKey(VK_RETURN);
    expectEndsWithZero(first, "Orvel.scr /c to end after OK");
    expectFile(windowsSettingsFile(), original);
    expectFile(userSettingsFile(), SAVED_LOW);

    // The next run reads the per-user file.
    const Dialog second = openDialog(true);
    pressKey(VK_ESCAPE);
    expectEndsWithZero(second, "Orvel.scr /c to end after Escape");
    expectFile(userSettingsFile(), SAVED_LOW);
}

void configureUnsavedCase() {
    clearSettings();
    const std::string original = "[param]\r\nlow=0\r\n";
    const ReadOnlySettings readOnly(original);
    // A file where the per-user folder would go: that folder cannot be made.
    writeFileBytes(userSettingsFolder(), "in the way");

    const Dialog dialog = openDialog(false);
    toggle(dialog);
    pressKey(VK_RETURN);
    HWND box = waitForTopLevel(dialog.saver, DIALOG_CLASS, "Orvel", 10000);
    char text[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
    note("the message: %s", text);
    if (std::string(text).find("Orvelconfig.ini") == std::string::npos) fail("the message names no settings file");
    waitUntil([&] { return GetForegroundWindow() == box; }, 10000, "the message box to be in front");
    pressKey(VK_RETURN);
    waitUntil([&] { return hasExited(dialog.saver); }, 10000, "Orvel.scr /c to end after the message");
    DWORD code = 0;
    GetExitCodeProcess(dialog.saver.process, &code);
    if (code != 0) fail("Orvel.scr /c ended with %ld, not 0", long(code));
    expectFile(windowsSettingsFile(), original);
    expectFile(userSettingsFolder(), std::string("in the way"));
}
