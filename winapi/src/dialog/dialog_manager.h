// The dialog manager's record of each dialog, and the pieces the dialog functions share.
#pragma once

#include "dialog/dialog_template.h"

#include <windows.h>

#include <functional>

namespace winapi::dialog {

extern const char kDialogClass[];

struct DialogState {
    DLGPROC proc = nullptr;
    HFONT font = nullptr; // made from the template; owned by the dialog
    bool owns_font = false;
    SIZE base_units{}; // pixels per 4 horizontal and 8 vertical dialog units
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    HWND focus = nullptr; // the control that gets the focus when the dialog is activated
    UINT default_id = IDOK;
};

// The record of a dialog window, or null for other windows.
DialogState* find_dialog(HWND hwnd);

// Registers the dialog and control classes once, and the dialog keyboard.
void register_dialog_classes();
void install_dialog_keyboard();
void register_button_class();
void register_edit_class();
void register_static_class();

// True when the window is of the class (compared without regard to case).
bool is_class(HWND hwnd, const char* class_name);

// What a modal dialog does when it is idle in a headless run: ask the automation callback
// (round counts from 0) and carry out its answer.
using DialogIdle = std::function<void(HWND dialog, int round)>;

// The standard idle handling: a dialog event, answered by clicking a button or pressing
// Enter or Escape.
void answer_dialog_round(HWND dialog, int round);

// Creates a dialog from a parsed template; null when a window cannot be created. The dialog
// is shown when `show` is set or its template says WS_VISIBLE.
HWND create_dialog(HINSTANCE instance, const DialogTemplate& dialog_template, HWND owner,
                   DLGPROC proc, LPARAM init_param, bool modal);

// Runs a modal dialog created by create_dialog until EndDialog and returns its result; the
// owner is disabled meanwhile and the dialog is destroyed at the end.
INT_PTR run_modal_dialog(HWND dialog, HWND owner, const DialogIdle& idle);

// Puts the focus on a control as the dialog keyboard does: an edit box gets all its text
// selected.
void focus_control(HWND control);

// Converts a rectangle in dialog units to pixels with the dialog's base units.
RECT dialog_units_to_pixels(const RECT& rect, SIZE base_units);

} // namespace winapi::dialog
