# SPDX-License-Identifier: GPL-3.0-or-later
# The readme of the Windows program: the readme with its sections on sound, installing and
# help (6 to 8) in their Windows form, and with Windows' line ends for Notepad.
#   cmake -DREADME=readme.txt -DSECTIONS=readme-windows.txt -DOUT=... -P WindowsReadme.cmake
file(READ "${README}" readme)
file(READ "${SECTIONS}" sections)
string(FIND "${readme}" "6. Supaya suara terdengar\n" from)
string(FIND "${readme}" "Numbelo adalah perangkat lunak bebas" to)
if(from EQUAL -1 OR to EQUAL -1 OR to LESS from)
  message(FATAL_ERROR "${README}: the sections 6 to 8 the Windows readme replaces are not found")
endif()
string(SUBSTRING "${readme}" 0 ${from} head)
string(SUBSTRING "${readme}" ${to} -1 tail)
string(REPLACE "\n" "\r\n" text "${head}${sections}${tail}")
file(WRITE "${OUT}" "${text}")
