#!/usr/bin/env python3
"""Check the application manifest for what Windows XP to 11 need of it.

    python3 tools/check_manifest.py res/vombly.manifest

- well-formed XML with the asm.v1 assembly as its root;
- no element declares more than one namespace (two on one element make
  Windows XP SP2's side-by-side parser corrupt memory and restart Windows);
- the Common Controls 6.0 dependency with Microsoft's public key token;
- asInvoker in a trustInfo of the asm.v3 namespace, declared on trustInfo;
- a supportedOS id for Vista, 7, 8, 8.1 and 10/11;
- any windowsSettings element in the asm.v3 namespace under an asmv3 prefix
  (XP rejects the element otherwise), inside an asm.v3 application;
- the display scale declared in both forms Windows reads: dpiAware
  true/pm in the 2005 namespace (Vista to 8 read it as system awareness,
  8.1 as per-monitor) and dpiAwareness starting with PerMonitorV2 in the
  2016 namespace (10 1607 on read only this one; the program handles
  WM_DPICHANGED). Each declares its namespace on itself, so that no element
  carries two and XP passes both over.
Exits non-zero with one line per fault.
"""

import re
import sys
import xml.etree.ElementTree as ET

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPAT = "urn:schemas-microsoft-com:compatibility.v1"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
OS_IDS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10 and 11",
}


def faults_of(text):
    faults = []
    # Namespace declarations are attributes; ElementTree drops them, so
    # each start tag is read as text.
    for tag in re.finditer(r"<([A-Za-z_][\w:.-]*)([^>]*)>", text):
        count = len(re.findall(r"\sxmlns(:[\w.-]+)?\s*=", tag.group(2)))
        if count > 1:
            faults.append("<%s> declares %d namespaces" % (tag.group(1), count))
        if tag.group(1).split(":")[-1] == "windowsSettings" and not tag.group(1).startswith("asmv3:"):
            faults.append("<%s> needs the asmv3 prefix" % tag.group(1))
    try:
        root = ET.fromstring(text.encode("utf-8"))
    except ET.ParseError as error:
        return faults + ["not well-formed: %s" % error]
    if root.tag != "{%s}assembly" % ASM_V1 or root.get("manifestVersion") != "1.0":
        faults.append("the root is not an asm.v1 assembly of manifestVersion 1.0")

    controls = [
        identity for identity in root.iter("{%s}assemblyIdentity" % ASM_V1)
        if identity.get("name") == "Microsoft.Windows.Common-Controls"
    ]
    if not controls:
        faults.append("no Common Controls dependency")
    for identity in controls:
        wanted = {"type": "win32", "version": "6.0.0.0", "publicKeyToken": "6595b64144ccf1df",
                  "processorArchitecture": "*", "language": "*"}
        for key, value in wanted.items():
            if identity.get(key) != value:
                faults.append("Common Controls %s is %r, not %r" % (key, identity.get(key), value))

    levels = [e.get("level") for e in root.iter("{%s}requestedExecutionLevel" % ASM_V3)]
    if levels != ["asInvoker"]:
        faults.append("requestedExecutionLevel in asm.v3 is %r, not one asInvoker" % levels)
    if re.search(r"<trustInfo\s+xmlns=\"%s\"\s*>" % re.escape(ASM_V3), text) is None:
        faults.append("trustInfo does not declare asm.v3 as its one namespace")

    settings = list(root.iter("{%s}windowsSettings" % ASM_V3))
    in_application = [
        ws for app in root.findall("{%s}application" % ASM_V3) for ws in app.findall("{%s}windowsSettings" % ASM_V3)
    ]
    if len(settings) != 1 or len(in_application) != 1:
        faults.append("not one asm.v3 windowsSettings inside an asm.v3 application under the assembly")
    declared = {}
    for ws in in_application:
        for child in ws:
            declared.setdefault(child.tag, []).append((child.text or "").strip())
    aware = declared.get("{%s}dpiAware" % SETTINGS_2005, [])
    if [value.lower() for value in aware] != ["true/pm"]:
        faults.append("dpiAware of the 2005 namespace is %r, not one true/pm" % aware)
    awareness = declared.get("{%s}dpiAwareness" % SETTINGS_2016, [])
    if len(awareness) != 1 or awareness[0].split(",")[0].strip().lower() != "permonitorv2":
        faults.append("dpiAwareness of the 2016 namespace is %r, not one starting with PerMonitorV2" % awareness)

    ids = {e.get("Id") for e in root.iter("{%s}supportedOS" % COMPAT)}
    for os_id, name in OS_IDS.items():
        if os_id not in ids:
            faults.append("no supportedOS for Windows %s" % name)
    return faults


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    with open(argv[1], encoding="utf-8") as manifest:
        faults = faults_of(manifest.read())
    for fault in faults:
        print("manifest: %s" % fault)
    print("manifest: %s" % ("ok" if not faults else "%d faults" % len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
