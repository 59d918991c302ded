# Installs the build into a staging folder, as the Debian package does
# (prefix /usr under DESTDIR), and checks that exactly the expected files land
# there, that the icons are 24-bit RGB at their sizes, that the metainfo names
# this version, and that AppStream accepts the installed tree.
# cmake -DBUILD_DIR=... -DSTAGE=... -DAPP_ID=... -DVERSION=... -DAPPSTREAMCLI=... -DMANUAL_DIR=... -P check-install.cmake
file(REMOVE_RECURSE "${STAGE}")
set(ENV{DESTDIR} "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix /usr
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

set(expected
  usr/bin/rotamet
  usr/lib/rotamet/rotamet-printsupport.so
  usr/share/applications/${APP_ID}.desktop
  usr/share/doc/rotamet/copyright
  usr/share/icons/hicolor/16x16/apps/rotamet.png
  usr/share/icons/hicolor/32x32/apps/rotamet.png
  usr/share/icons/hicolor/64x64/apps/rotamet.png
  usr/share/icons/hicolor/scalable/apps/rotamet.svg
  usr/share/metainfo/${APP_ID}.metainfo.xml)
# The manual, every page and picture of it.
file(GLOB_RECURSE manual LIST_DIRECTORIES false RELATIVE "${MANUAL_DIR}" "${MANUAL_DIR}/*")
foreach(page IN LISTS manual)
  list(APPEND expected usr/share/doc/rotamet/manuale/${page})
endforeach()
list(SORT expected)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT installed)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed files:\n  ${installed}\nexpected:\n  ${expected}")
endif()

# PNG header: width and height (big-endian 32-bit) at byte 16, then bit depth
# and colour type; 8 and 2 mean 8 bits per channel, RGB without alpha.
foreach(size 16 32 64)
  set(png "${STAGE}/usr/share/icons/hicolor/${size}x${size}/apps/rotamet.png")
  file(READ "${png}" header OFFSET 16 LIMIT 10 HEX)
  math(EXPR px "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REGEX REPLACE "^0x" "" px "${px}")
  string(LENGTH "${px}" len)
  math(EXPR pad "8 - ${len}")
  string(REPEAT "0" ${pad} zeros)
  set(want "${zeros}${px}${zeros}${px}0802")
  if(NOT header STREQUAL want)
    message(FATAL_ERROR "${png}: header ${header}, expected ${want} (${size}x${size}, 8-bit RGB)")
  endif()
endforeach()

file(READ "${STAGE}/usr/share/metainfo/${APP_ID}.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<releases>[ \n]*<release version=\"${VERSION}\"")
  message(FATAL_ERROR "the newest release in the metainfo is not ${VERSION}")
endif()

execute_process(COMMAND "${APPSTREAMCLI}" validate-tree --no-net "${STAGE}/usr" COMMAND_ERROR_IS_FATAL ANY)
