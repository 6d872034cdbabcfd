// What every dialog shares: placement over the main window, the caption and
// label texts, and the rule that gives one control the first focus.
#ifndef VOMBLY_DIALOGS_COMMON_H
#define VOMBLY_DIALOGS_COMMON_H

#include <windows.h>

enum { DialogTextSize = 256 };

// Centres the dialog on the main window's rectangle, frame included; the
// position is not clamped to the screen.
void CentreDialogOnMainWindow(HWND dialog);

// Sets the caption "Vombly - <title string>".
void SetDialogCaption(HWND dialog, unsigned int titleId);

// Sets a label to one whole message string; a label too low for the lines
// it wraps to is made higher, moving what lies below it down.
void SetDialogLabel(HWND dialog, int controlId, unsigned int textId);

// The focus rule: `proposed` is WM_INITDIALOG's wParam. Returns TRUE when
// the dialog manager's choice is the focus control; otherwise focuses the
// control itself and returns FALSE.
INT_PTR ApplyFocusRule(HWND dialog, WPARAM proposed, int focusId);

#endif
