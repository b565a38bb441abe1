# SPDX-License-Identifier: GPL-3.0-or-later
# The program's icon has one source, src/resources/ardeno-recorder.svg. It is
# rendered here to every PNG size the hicolor theme uses; the window icon is
# made of the same PNGs, embedded with Qt's resource system.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

set(ARDENO_ICON_SOURCE ${PROJECT_SOURCE_DIR}/src/resources/ardeno-recorder.svg)
set(ARDENO_ICON_SIZES 16 22 24 32 48 64 128 256)
set(ARDENO_ICON_DIR ${CMAKE_BINARY_DIR}/icons)

set(ARDENO_ICON_PNGS)
foreach(size IN LISTS ARDENO_ICON_SIZES)
  set(png ${ARDENO_ICON_DIR}/${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ARDENO_ICON_DIR}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${ARDENO_ICON_SOURCE}
    DEPENDS ${ARDENO_ICON_SOURCE}
    COMMENT "Rendering the ${size} px icon"
    VERBATIM)
  list(APPEND ARDENO_ICON_PNGS ${png})
endforeach()

# Linked into every program that links the library, so AppIcon() finds them.
qt_add_resources(ardeno app_icon PREFIX /icons BASE ${ARDENO_ICON_DIR} FILES ${ARDENO_ICON_PNGS})
