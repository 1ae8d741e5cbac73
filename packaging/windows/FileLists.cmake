# SPDX-License-Identifier: GPL-3.0-or-later
# Lists the staged installation for both installers, so that they install the same files.
# For the NSIS installer: what it copies (install-files.nsh), what its uninstaller deletes, file
# by file (uninstall-files.nsh) and then folder by folder, deepest first (uninstall-folders.nsh),
# and the size Windows shows in its list of programs (installed-size.nsh). The uninstaller
# deletes exactly what was installed, so it never takes a file that is not the program's with
# it, and leaves nothing of the program behind. For the MSI package: one component for each
# file, in its folder, gathered in the component group "ProgramFiles" (msi-files.wxs; wixl
# reads the files from the staged folder as its working folder); a component's id and GUID are
# made from the file's path, so that they stay the same from one version to the next, as
# Windows Installer wants.
#   cmake -DSTAGE=<staged folder> -DOUT=<folder for the lists> -P FileLists.cmake
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT files)
if(NOT files)
  message(FATAL_ERROR "nothing is staged in ${STAGE}")
endif()
# Any fixed UUID: the namespace the components' GUIDs are made in.
set(guid_namespace "6f0d7c1e-5b8a-4c52-9e0b-2d9a4f3c8e61")
# The MSI's id of a staged folder ("" is the program's folder itself).
function(msi_folder_id folder result)
  if(folder STREQUAL "")
    set(${result} "NumbeloFolder" PARENT_SCOPE)
  else()
    string(MD5 hash "${folder}")
    set(${result} "d${hash}" PARENT_SCOPE)
  endif()
endfunction()

# A text as XML holds it.
function(xml_text text result)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

set(install "")
set(uninstall "")
set(uninstall_folders "")
set(folders "")
set(msi_components "")
set(msi_refs "")
set(size 0)
set(current "-")
foreach(file IN LISTS files)
  cmake_path(GET file PARENT_PATH folder)
  cmake_path(GET file FILENAME name)
  string(REPLACE "/" "\\" windowsFile "${file}")
  string(REPLACE "/" "\\" windowsFolder "${folder}")
  if(NOT folder STREQUAL current)
    set(current "${folder}")
    if(folder STREQUAL "")
      string(APPEND install "SetOutPath \"$INSTDIR\"\n")
    else()
      string(APPEND install "SetOutPath \"$INSTDIR\\${windowsFolder}\"\n")
      # Every folder on the way, so that each is taken away once it is empty.
      set(parent "${folder}")
      while(NOT parent STREQUAL "")
        list(APPEND folders "${parent}")
        cmake_path(GET parent PARENT_PATH parent)
      endwhile()
    endif()
  endif()
  string(APPEND install "File \"${STAGE}/${file}\"\n")
  string(APPEND uninstall "Delete \"$INSTDIR\\${windowsFile}\"\n")
  file(SIZE "${STAGE}/${file}" bytes)
  math(EXPR size "${size} + ${bytes}")

  msi_folder_id("${folder}" folder_id)
  string(MD5 id "${file}")
  string(UUID guid NAMESPACE "${guid_namespace}" NAME "${file}" TYPE SHA1 UPPER)
  xml_text("${name}" name)
  xml_text("${file}" source)
  string(APPEND msi_components
    "    <DirectoryRef Id=\"${folder_id}\">\n"
    "      <Component Id=\"c${id}\" Guid=\"${guid}\" Win64=\"yes\">\n"
    "        <File Id=\"f${id}\" Name=\"${name}\" Source=\"${source}\" KeyPath=\"yes\"/>\n"
    "      </Component>\n"
    "    </DirectoryRef>\n")
  string(APPEND msi_refs "      <ComponentRef Id=\"c${id}\"/>\n")
endforeach()
list(REMOVE_DUPLICATES folders)

# Folders for the MSI, each inside its parent: parents first.
list(SORT folders)
set(msi_folders "")
foreach(folder IN LISTS folders)
  cmake_path(GET folder PARENT_PATH parent)
  cmake_path(GET folder FILENAME name)
  xml_text("${name}" name)
  msi_folder_id("${parent}" parent_id)
  msi_folder_id("${folder}" folder_id)
  string(APPEND msi_folders
    "    <DirectoryRef Id=\"${parent_id}\">\n"
    "      <Directory Id=\"${folder_id}\" Name=\"${name}\"/>\n"
    "    </DirectoryRef>\n")
endforeach()

# Deepest first: a folder is only empty once the folders in it are gone.
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
  string(REPLACE "/" "\\" windowsFolder "${folder}")
  string(APPEND uninstall_folders "RMDir \"$INSTDIR\\${windowsFolder}\"\n")
endforeach()
math(EXPR kilobytes "(${size} + 1023) / 1024")
file(WRITE "${OUT}/install-files.nsh" "${install}")
file(WRITE "${OUT}/uninstall-files.nsh" "${uninstall}")
file(WRITE "${OUT}/uninstall-folders.nsh" "${uninstall_folders}")
file(WRITE "${OUT}/installed-size.nsh" "!define INSTALLED_SIZE_KB ${kilobytes}\n")
file(WRITE "${OUT}/msi-files.wxs"
  "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
  "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n"
  "  <Fragment>\n"
  "${msi_folders}${msi_components}"
  "    <ComponentGroup Id=\"ProgramFiles\">\n"
  "${msi_refs}"
  "    </ComponentGroup>\n"
  "  </Fragment>\n"
  "</Wix>\n")
