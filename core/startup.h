// What the program learns at start before its window exists: the "/SM"
// switch that keeps the window on screen, and the Windows version test.
#ifndef VOMBLY_CORE_STARTUP_H
#define VOMBLY_CORE_STARTUP_H

// showAtStart is 1 only when the whole command line is "/SM", in any case.
void ReadCommandLine(const char *commandLine);
int GetShowAtStart(void);

// Windows XP (5.1) and later are supported.
int VersionIsSupported(unsigned long major, unsigned long minor);

// (outerSize - innerSize) / 2, truncated toward zero: the offset that
// centres a window of innerSize on one of outerSize.
int CentreOffset(int outerSize, int innerSize);

#endif
