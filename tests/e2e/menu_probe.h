// What the harness and menu_probe.dll agree on: the hook's name, the
// message that asks for the menu, and the shared block of the answer.
#ifndef VOMBLY_TESTS_E2E_MENU_PROBE_H
#define VOMBLY_TESTS_E2E_MENU_PROBE_H

#define MenuProbeHookName "MenuProbeHook"
#define MenuProbeMessage "Vombly e2e: describe your menu"
#define MenuProbeMapping "VomblyE2eMenuProbe"
enum { MenuProbeSize = 65536 };

#endif
