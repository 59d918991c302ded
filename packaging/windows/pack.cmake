# Packs the Windows build (cmake -P, from the rotamet_packages target):
#   rotamet-<VERSION>-win64.exe            the installer (packaging/windows/rotamet.nsi)
#   rotamet-<VERSION>-win64-portable.zip   one folder Rotamet/ to unpack and run
# Both hold the same files: the build's install tree, stripped, staged in
# packaging/windows/stage/Rotamet.
# Needs BUILD_DIR, SOURCE_DIR, VERSION, MAKENSIS, RSVG_CONVERT, CONVERT.
set(work ${BUILD_DIR}/packaging/windows)
set(stage ${work}/stage/Rotamet)
file(REMOVE_RECURSE ${work}/stage)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}\n${out}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${stage} --strip)

# The uninstaller removes exactly these files, then their folders, deepest
# first, each only when it is empty.
file(GLOB_RECURSE files RELATIVE ${stage} ${stage}/*)
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${stage} ${stage}/*)
set(dirs ${entries})
list(REMOVE_ITEM dirs ${files})
list(SORT files)
list(SORT dirs ORDER DESCENDING)
set(list "")
foreach(file IN LISTS files)
  string(REPLACE "/" "\\" file "${file}")
  string(APPEND list "Delete \"$INSTDIR\\${file}\"\n")
endforeach()
foreach(dir IN LISTS dirs)
  string(REPLACE "/" "\\" dir "${dir}")
  string(APPEND list "RMDir \"$INSTDIR\\${dir}\"\n")
endforeach()
file(WRITE ${work}/uninstall-list.nsh "${list}")

# The welcome page's picture (164 x 314, as NSIS wants it): the program's
# icon on a light ground.
run(${RSVG_CONVERT} -w 128 -h 128 -o ${work}/welcome-icon.png ${SOURCE_DIR}/packaging/icons/rotamet.svg)
run(${CONVERT} -size 164x314 "xc:#e9eef4" ${work}/welcome-icon.png -gravity center -geometry +0-40
    -composite -type TrueColor BMP3:${work}/welcome.bmp)

# The licence page: the MIT text of packaging/copyright, as plain text.
file(STRINGS ${SOURCE_DIR}/packaging/copyright copyright_lines)
set(licence "")
foreach(line IN LISTS copyright_lines)
  if(line MATCHES "^Copyright: (.*)")
    string(APPEND licence "Copyright ${CMAKE_MATCH_1}\n\n")
  elseif(line MATCHES "^ \\.$")
    string(APPEND licence "\n")
  elseif(line MATCHES "^ (.*)")
    string(APPEND licence "${CMAKE_MATCH_1}\n")
  endif()
endforeach()
file(WRITE ${work}/licence.txt "${licence}")

set(installer ${BUILD_DIR}/rotamet-${VERSION}-win64.exe)
run(${MAKENSIS} -V2 -NOCD
    -DVERSION=${VERSION} -DSTAGE=${stage} -DOUTFILE=${installer}
    -DICON=${SOURCE_DIR}/packaging/icons/rotamet.ico -DWELCOME=${work}/welcome.bmp
    -DLICENCE=${work}/licence.txt -DUNINSTALL_LIST=${work}/uninstall-list.nsh
    ${SOURCE_DIR}/packaging/windows/rotamet.nsi)

set(zip ${BUILD_DIR}/rotamet-${VERSION}-win64-portable.zip)
file(REMOVE ${zip})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip Rotamet
                WORKING_DIRECTORY ${work}/stage RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the portable zip could not be written")
endif()
message(STATUS "${installer}\n${zip}")
