// The program's dialog templates where the system has no dialog resources: the configure
// dialog 2003, control for control as resources/orvel.rc gives it to Windows (a unit test
// holds the two together). Its Japanese font has no match on other systems; the platform
// draws it in its own sans-serif face at the template's size.
#include "platform/dialog_model/dialog_template.h"

#include "platform/resource_ids.h"

namespace {

constexpr ControlTemplate CONFIGURE_CONTROLS[] = {
    {ControlKind::DefaultPushButton, 1, "OK", 0, true, 93, 15, 50, 14},
    {ControlKind::PushButton, 2, "Cancel", 0, true, 93, 33, 50, 14},
    {ControlKind::Text, -1, "Orvel team", 0, false, 30, 15, 51, 8},
    {ControlKind::Icon, -1, "", IDI_ORVEL, false, 4, 7, 20, 20},
    {ControlKind::AutoCheckBox, IDC_LOW_DETAIL, "Low  detail", 0, true, 22, 48, 48, 10},
    {ControlKind::GroupBox, -1, "detail", 0, false, 8, 33, 73, 29},
};

constexpr DialogTemplate CONFIGURE_DIALOG = {
    IDD_CONFIGURE, "Orvel v0.92", 150, 67, true, 9, CONFIGURE_CONTROLS, int(sizeof CONFIGURE_CONTROLS / sizeof CONFIGURE_CONTROLS[0]),
};

}  // namespace

const DialogTemplate* findDialogTemplate(int id) {
    return (id & 0xFFFF) == CONFIGURE_DIALOG.id ? &CONFIGURE_DIALOG : nullptr;
}
