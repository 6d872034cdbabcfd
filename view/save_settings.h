// SaveSettings: the window side of the settings, which takes the list box's
// selection into the record and repaints the main window after writing.
#ifndef VOMBLY_VIEW_SAVE_SETTINGS_H
#define VOMBLY_VIEW_SAVE_SETTINGS_H

// Records the list box's selection, writes the settings file crash-safely
// and repaints the main window. Returns 1 when the file was written; a
// failure is told once (see NoteSaveOutcome).
int SaveSettings(void);

// The start's save: as SaveSettings, but a file that would not change is
// left as it is. Returns 1 when the file holds the settings.
int SaveSettingsAtStart(void);

#endif
