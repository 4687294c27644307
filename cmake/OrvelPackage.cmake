# What the package installs and how cpack builds it: a Debian package "orvel" that holds the
# headless recorder orvel-rec and the help page, and, as soon as the project has a target named
# "orvel" (the windowed program), that program with its desktop entry and its icon in the
# hicolor sizes. Include this last, after every target is defined.
#
#   cpack --config <build>/CPackConfig.cmake     builds orvel_<version>_<arch>.deb

include(GNUInstallDirs)

set(ORVEL_HELP_SOURCE "${PROJECT_SOURCE_DIR}/src/resources/help/index.html")
set(ORVEL_HELP_DESTINATION "${CMAKE_INSTALL_DATADIR}/orvel/help")
install(FILES "${ORVEL_HELP_SOURCE}" DESTINATION "${ORVEL_HELP_DESTINATION}")
# The same place relative to the programs of the build tree (build/src/../share/...), so a
# program run from the build finds its help page as the installed one does.
configure_file("${ORVEL_HELP_SOURCE}" "${CMAKE_BINARY_DIR}/share/orvel/help/index.html" COPYONLY)

if(TARGET orvel)
  install(TARGETS orvel RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  install(FILES "${PROJECT_SOURCE_DIR}/src/resources/orvel.desktop"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  # The artwork generator draws the icon in every size at build time (skin::kIconSizes).
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES "${ORVEL_SKIN_ART_DIR}/icons/orvel-${size}.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
            RENAME orvel.png)
  endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvel)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Orvel")
set(CPACK_PACKAGE_CONTACT "Orvel developers <dev@orvel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop sound recorder")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Orvel records what the sound card captures (a microphone, line in or the playback mix) "
    "into WAV, MP3 or WMA files: by hand, on a signal, or on a schedule, with a noise gate, "
    "filters, background music, tags and a daily recording log. orvel-rec records, plays and "
    "tags from a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvel.org/")
# Shared libraries the programs link are found by dpkg-shlibdeps; LAME is opened at run time,
# so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmp3lame0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, xdg-utils")
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}/package")
include(CPack)
