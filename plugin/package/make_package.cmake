# Makes the installer package and the zip of Ramulet.dll:
#   Ramulet-VERSION-ARCH.msi  (when WIXL names wixl; empty: skipped, said so)
#   Ramulet-VERSION-ARCH.zip  (the DLL, readme.txt, register.cmd, unregister.cmd)
#
#   cmake -DVERSION=1.0.0 -DARCH=x86|x64 -DDLL=.../Ramulet.dll -DOUTPUT_DIR=...
#         -DWIXL=/usr/bin/wixl [-DZIP=ON] -P make_package.cmake
#
# The test run calls it too, to build packages of other versions.
cmake_minimum_required(VERSION 3.25)
set(here ${CMAKE_CURRENT_LIST_DIR})
set(com ${here}/../com)
include(${here}/registry_rows.cmake)

foreach(required VERSION ARCH DLL OUTPUT_DIR)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "make_package.cmake: -D${required}=... is missing")
  endif()
endforeach()
if(NOT VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "make_package.cmake: version '${VERSION}' is not major.minor.patch")
endif()
# Windows Installer compares versions in these ranges only; beyond them an
# upgrade would not see an older version as older.
string(REPLACE "." ";" parts ${VERSION})
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 patch)
if(major GREATER 255 OR minor GREATER 255 OR patch GREATER 65535)
  message(FATAL_ERROR "make_package.cmake: version '${VERSION}' is beyond 255.255.65535, the installer's limits")
endif()

# Each architecture is its own product with its own, fixed, identifiers:
# the upgrade code ties the versions together, the component codes stay
# with the same files and keys from version to version.
if(ARCH STREQUAL "x86")
  set(UPGRADE_CODE B8BE26A9-6786-47DD-A486-0AB9F3F7499E)
  set(DLL_COMPONENT C19055A1-6E61-46CA-AF4D-0EB0E3BB56A6)
  set(README_COMPONENT E3C41400-03CF-4940-8A06-F4335A783C4A)
  set(FOLDER_COMPONENT 76C843CA-C3ED-4672-BF73-00E928B2AC80)
  set(PROGRAM_FILES ProgramFilesFolder)
  set(WIN64 no)
  set(RAMULET_PLATFORM win32)
elseif(ARCH STREQUAL "x64")
  set(UPGRADE_CODE 499B2547-048B-4BFE-96C9-C309E5078CB6)
  set(DLL_COMPONENT 17E9CDDF-C630-4300-B59A-8E434B3C239E)
  set(README_COMPONENT 1B249929-E168-47B1-B99D-F3CC8A09F11D)
  set(FOLDER_COMPONENT 44FB6935-8C2A-4331-B623-D943E2B7B7E0)
  set(INTERFACES_32_COMPONENT 23B27BAE-84DD-4DA5-BCB3-B415CDCA87EC)
  set(PROGRAM_FILES ProgramFiles64Folder)
  set(WIN64 yes)
  set(RAMULET_PLATFORM win64)
else()
  message(FATAL_ERROR "make_package.cmake: ARCH is x86 or x64, not '${ARCH}'")
endif()

ramulet_idl_uuid(${com}/korvex.idl coclass Ramulet RAMULET_CLSID)
ramulet_idl_uuid(${com}/korvex.idl library Korvex RAMULET_LIBID)
set(indent "              ")
ramulet_registry_rows(${com}/registry_table.h "kClassEntries;kTypeLibraryEntries;kInterfaceEntries"
  "${indent}" REGISTRY_ROWS)
string(STRIP "${REGISTRY_ROWS}" REGISTRY_ROWS)
set(REGISTRY_ROWS "${indent}${REGISTRY_ROWS}")
set(INTERFACES_32 "")
set(INTERFACES_32_REF "")
if(ARCH STREQUAL "x64")
  # 64-bit type library registration writes the interfaces into the 32-bit
  # view as well: a 32-bit component does that here.
  ramulet_registry_rows(${com}/registry_table.h kInterfaceEntries "${indent}  " rows32)
  # A component without a file needs one of its values as its key path.
  set(end_of_row "Type=\"string\"/>")
  string(FIND "${rows32}" "${end_of_row}" first)
  string(LENGTH "${end_of_row}" length)
  math(EXPR rest "${first} + ${length}")
  string(SUBSTRING "${rows32}" 0 ${first} head)
  string(SUBSTRING "${rows32}" ${rest} -1 tail)
  set(rows32 "${head}Type=\"string\" KeyPath=\"yes\"/>${tail}")
  set(INTERFACES_32 "${indent}<Component Id=\"Interfaces32\" Guid=\"${INTERFACES_32_COMPONENT}\" Win64=\"no\">\n${rows32}${indent}</Component>")
  set(INTERFACES_32_REF "      <ComponentRef Id=\"Interfaces32\"/>")
endif()

# Text files for Windows: CRLF line ends, the readme as UTF-8 with a byte order mark.
set(stage ${OUTPUT_DIR}/Ramulet-${VERSION}-${ARCH})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
function(windows_text source destination bom)
  file(READ ${source} text)
  string(CONFIGURE "${text}" text @ONLY)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  if(bom)
    string(ASCII 239 187 191 mark)
    set(text "${mark}${text}")
  endif()
  file(WRITE ${destination} "${text}")
endfunction()
windows_text(${here}/readme.txt ${stage}/readme.txt ON)
windows_text(${here}/register.cmd ${stage}/register.cmd OFF)
windows_text(${here}/unregister.cmd ${stage}/unregister.cmd OFF)
file(COPY ${DLL} DESTINATION ${stage})
# wixl takes sources relative to the folder it runs in.
set(README readme.txt)
set(DLL Ramulet.dll)

set(name Ramulet-${VERSION}-${ARCH})
if(ZIP)
  file(REMOVE ${OUTPUT_DIR}/${name}.zip)
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUTPUT_DIR}/${name}.zip --format=zip
                          Ramulet.dll readme.txt register.cmd unregister.cmd
                  WORKING_DIRECTORY ${stage} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not make ${name}.zip")
  endif()
  message(STATUS "made ${OUTPUT_DIR}/${name}.zip")
endif()

configure_file(${here}/Ramulet.wxs.in ${OUTPUT_DIR}/${name}.wxs @ONLY)
if(NOT WIXL)
  message(WARNING "wixl was not found (Debian: apt-get install wixl): ${name}.msi is not made")
  return()
endif()
set(wixl_arch x86)
if(ARCH STREQUAL "x64")
  set(wixl_arch x64)
endif()
file(REMOVE ${OUTPUT_DIR}/${name}.msi)
execute_process(COMMAND ${WIXL} --arch ${wixl_arch} -o ${OUTPUT_DIR}/${name}.msi ${OUTPUT_DIR}/${name}.wxs
                WORKING_DIRECTORY ${stage} RESULT_VARIABLE status ERROR_VARIABLE errors)
# wixl reports attributes it does not know as warnings and carries on:
# every one of them would be a row silently missing from the package.
if(NOT status EQUAL 0 OR errors MATCHES "WARNING|CRITICAL")
  file(REMOVE ${OUTPUT_DIR}/${name}.msi)
  message(FATAL_ERROR "wixl failed on ${name}.wxs:\n${errors}")
endif()
message(STATUS "made ${OUTPUT_DIR}/${name}.msi")
