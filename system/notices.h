// What the program tells the user: the one message-box helper, boxes built
// from string-table texts, the system's words for an error, and the record of
// failed saves, so that each failure is told once and none goes unsaid.
#ifndef VOMBLY_SYSTEM_NOTICES_H
#define VOMBLY_SYSTEM_NOTICES_H

#include <windows.h>
#include <stddef.h>

// Save targets: the settings file, and lists 1 to 3 by their numbers.
enum { SaveTargetSettings = 0, SaveTargetCount = 4 };

// The one way the program shows a message box: every box goes through here,
// with its owner, caption and type (icon and buttons) as given. Returns the
// box's answer (0 when it could not be shown).
int ShowMessage(HWND owner, const char *text, const char *caption, UINT type);

// Formats string `textId` with the arguments and shows it in a message box
// captioned with the product name, owned by the main window while that is
// visible. Returns the box's answer (0 when it could not be shown).
int ShowNotice(UINT type, unsigned int textId, ...);

// How many boxes ShowMessage (so every box of the program) has put up since
// the start. A box holds up whatever its caller does next until it is
// dismissed; paste back compares the count around its steps and types nothing after a box.
unsigned long NoticesShown(void);

// While quiet (the session ends, or the setup ends the program), no box is
// shown (ShowNotice and ShowMessage answer 0): nothing may hold the end.
void SetNoticesQuiet(int quiet);
int GetNoticesQuiet(void);

// The system's text for `error`, one line, or "Error <n>" where the system
// has none.
void ErrorText(unsigned long error, char *buffer, size_t size);

// Records how a save of `target` went. A failure is told in a message box
// unless the same failure was told since the target's last good save, or
// is told for another target whose saves still fail the same way.
void NoteSaveOutcome(int target, int saved, unsigned long error);

// 1 while the last save of `target` (or of any target) failed.
int SaveFailed(int target);
int AnySaveFailed(void);
// The error of the first target whose last save failed, or 0.
unsigned long FirstSaveError(void);

#endif
