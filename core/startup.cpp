#include "core/startup.h"

#include <string.h>
#include <strings.h>

static int showAtStart;

void ReadCommandLine(const char *commandLine)
{
    showAtStart = commandLine != NULL && strcasecmp(commandLine, "/SM") == 0;
}

int GetShowAtStart(void)
{
    return showAtStart;
}

int VersionIsSupported(unsigned long major, unsigned long minor)
{
    return major > 5 || (major == 5 && minor >= 1);
}

int CentreOffset(int outerSize, int innerSize)
{
    return (outerSize - innerSize) / 2;
}
