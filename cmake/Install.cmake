# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` puts the program where a Linux desktop looks for it, and
# `cpack -G DEB` (`make deb`) packs the same files as a Debian package.
include(GNUInstallDirs)

# The reverse-DNS name the desktop entry, the icon and the AppStream metadata share.
set(ARDENO_APP_ID org.example.ardeno.Recorder)
# The window names its desktop entry so that desktops match it to its icon,
# and so does the media player it offers on the session bus.
target_compile_definitions(ardeno-recorder PRIVATE ARDENO_APP_ID="${ARDENO_APP_ID}")
target_compile_definitions(ardeno_window PRIVATE ARDENO_APP_ID="${ARDENO_APP_ID}")
set(ARDENO_DATA_DIR ${CMAKE_INSTALL_DATADIR}/ardeno-recorder)

# The program opens its guide page at ../share/ardeno-recorder/ from its own
# folder, so the two must keep that relation.
file(RELATIVE_PATH guide_from_executable /${CMAKE_INSTALL_BINDIR} /${ARDENO_DATA_DIR})
if(NOT guide_from_executable STREQUAL "../share/ardeno-recorder")
  message(FATAL_ERROR "The program looks for its guide page in ../share/ardeno-recorder beside its "
    "folder, but CMAKE_INSTALL_BINDIR=${CMAKE_INSTALL_BINDIR} and CMAKE_INSTALL_DATADIR="
    "${CMAKE_INSTALL_DATADIR} put it in ${guide_from_executable}.")
endif()

configure_file(src/resources/ardeno-recorder.desktop.in ${ARDENO_APP_ID}.desktop @ONLY)
configure_file(src/resources/ardeno-recorder.metainfo.xml.in ${ARDENO_APP_ID}.metainfo.xml @ONLY)

install(TARGETS ardeno-recorder RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES src/resources/guide.html src/resources/waveform.png src/resources/transcript.png src/resources/feedback.png DESTINATION ${ARDENO_DATA_DIR})
install(FILES ${CMAKE_BINARY_DIR}/${ARDENO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/${ARDENO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian's place for a package's licence (in its machine-readable form) and
# its changelog; the manual page beside the others. Both are compressed as
# Debian wants them: gzip -9, without a time stamp (-n).
set(ARDENO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/ardeno-recorder)
install(FILES cmake/debian/copyright DESTINATION ${ARDENO_DOC_DIR})
function(ardeno_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/${source} > ${output}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source} VERBATIM)
endfunction()
ardeno_gzip(cmake/debian/changelog ${CMAKE_BINARY_DIR}/changelog.gz)
ardeno_gzip(docs/ardeno-recorder.1 ${CMAKE_BINARY_DIR}/ardeno-recorder.1.gz)
add_custom_target(compressed_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz ${CMAKE_BINARY_DIR}/ardeno-recorder.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${ARDENO_DOC_DIR})
install(FILES ${CMAKE_BINARY_DIR}/ardeno-recorder.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(icon_theme_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${ARDENO_ICON_SOURCE} DESTINATION ${icon_theme_dir}/scalable/apps RENAME ${ARDENO_APP_ID}.svg)
foreach(size IN LISTS ARDENO_ICON_SIZES)
  install(FILES ${ARDENO_ICON_DIR}/${size}.png
    DESTINATION ${icon_theme_dir}/${size}x${size}/apps RENAME ${ARDENO_APP_ID}.png)
endforeach()

# The Debian package. dpkg-shlibdeps finds the libraries the executable links
# to; the plugins GStreamer loads at run time, and the font for the Chinese
# texts, are named here because no linker sees them. LAME comes with
# plugins-good (lamemp3enc).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ardeno-recorder)
set(CPACK_PACKAGE_VENDOR Ardeno)
set(CPACK_PACKAGE_CONTACT "Ardeno <help@ardeno.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Repeat reading in short segments and recording to MP3")
# The description's lines stay within 80 characters, as Debian asks.
set(CPACK_PACKAGE_DESCRIPTION "Plays a media file, replays a marked segment of it as often as needed,
and records the default sound input into an MP3 file. For language learners:
the waveform to mark on, sentences found in the sound and drilled, playback
slower or faster at the media's pitch, and the learner's repetitions recorded.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://ardeno.example.org)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(runtime_packages
  gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good
  gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly
  gstreamer1.0-libav
  gstreamer1.0-x
  gstreamer1.0-pulseaudio
  gstreamer1.0-alsa
  libmp3lame0
  "fonts-wqy-microhei | fonts-noto-cjk")
list(JOIN runtime_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
include(CPack)
