// The headless platform's modal dialogs: a dialog is a record with check-box states, and
// the user is a script of clicks, commands and a close that runs once the dialog has
// been initialised, until the procedure ends the dialog.
#include "platform/dialogs.h"
#include "platform/headless/headless.h"
#include "platform/headless/internal.h"
#include "platform/messages.h"
#include "platform/resource_ids.h"

namespace {

constexpr int CONTROL_CAPACITY = 8;

struct Control {
    int id;
    std::uint32_t check;
};

struct Dialog {
    bool running;
    bool ended;
    std::intptr_t result;
    Control controls[CONTROL_CAPACITY];
    int controlCount;
};

HeadlessDialogStep script[HEADLESS_DIALOG_STEPS];
int scriptLength = 0;
bool failCreation = false;
Dialog dialog;
HeadlessDialogRecord record;

Control* control(int id) {
    for (int i = 0; i < dialog.controlCount; ++i) {
        if (dialog.controls[i].id == id) return &dialog.controls[i];
    }
    if (dialog.controlCount == CONTROL_CAPACITY) return nullptr;
    dialog.controls[dialog.controlCount] = {id, BST_UNCHECKED};
    return &dialog.controls[dialog.controlCount++];
}

std::uint32_t checkBoxState() {
    const Control* box = control(IDC_LOW_DETAIL);
    return box != nullptr ? box->check : BST_UNCHECKED;
}

}  // namespace

void resetHeadlessDialogs() {
    scriptLength = 0;
    failCreation = false;
    dialog = Dialog{};
    record = HeadlessDialogRecord{};
}

void headlessScriptDialog(const HeadlessDialogStep* steps, int count) {
    scriptLength = 0;
    for (int i = 0; i < count && i < HEADLESS_DIALOG_STEPS; ++i) script[scriptLength++] = steps[i];
}

void headlessFailDialogCreation(bool fail) { failCreation = fail; }

HeadlessDialogRecord headlessDialogRecord() { return record; }

std::intptr_t platformDialogBox(InstanceHandle, int resourceId, WindowHandle owner, DialogProc procedure) {
    ++record.runs;
    record.owner = owner;
    record.resourceId = resourceId;
    record.ended = false;
    if (failCreation || procedure == nullptr) {
        record.result = -1;
        return -1;
    }
    dialog = Dialog{};
    dialog.running = true;
    WindowHandle handle = &dialog;
    procedure(handle, WM_INITDIALOG, 0, 0);
    record.checkAtInit = checkBoxState();
    for (int i = 0; i < scriptLength && !dialog.ended; ++i) {
        const HeadlessDialogStep step = script[i];
        switch (step.action) {
            case HeadlessDialogAction::Click:
                if (step.value == IDC_LOW_DETAIL) {
                    Control* box = control(IDC_LOW_DETAIL);
                    if (box != nullptr) box->check = box->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
                }
                procedure(handle, WM_COMMAND, step.value, 0);
                break;
            case HeadlessDialogAction::Command:
                procedure(handle, WM_COMMAND, step.value, 0);
                break;
            case HeadlessDialogAction::Close:
                procedure(handle, WM_CLOSE, 0, 0);
                break;
        }
    }
    record.ended = dialog.ended;
    dialog.running = false;
    // A dialog the script leaves open would wait for ever; it fails instead.
    record.result = dialog.ended ? dialog.result : -1;
    return record.result;
}

LRESULT platformSendDlgItemMessage(WindowHandle handle, int id, std::uint32_t message, WPARAM wParam, LPARAM) {
    if (handle != &dialog || !dialog.running) return 0;
    Control* item = control(id);
    if (item == nullptr) return 0;
    if (message == BM_SETCHECK) item->check = std::uint32_t(wParam);
    if (message == BM_GETCHECK) return LRESULT(item->check);
    return 0;
}

void platformEndDialog(WindowHandle handle, std::intptr_t result) {
    if (handle != &dialog || !dialog.running) return;
    dialog.ended = true;
    dialog.result = result;
}
