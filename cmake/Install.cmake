# Installs Scopewatch the way a Linux desktop program is installed, and packages it for Debian.
#
#   cmake --install build --prefix P   the program and its tools in P/bin with their
#                                      manual pages in P/share/man/man1, the menu launcher in
#                                      P/libexec/scopewatch, the desktop entry, icon and
#                                      AppStream metainfo under P/share, the sounds in
#                                      P/share/scopewatch/sounds, the README, docs/,
#                                      the copyright file and the changelog (from NEWS) in
#                                      P/share/doc/scopewatch
#   cd build && cpack -G DEB           the same as a Debian package, scopewatch_1.0_<arch>.deb
#
# Only these are installed: never the tests, the benchmarks or the libraries.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/DebianChangelog.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ManualPages.cmake)

set(SCOPEWATCH_APP_ID io.github.scopewatch.Scopewatch)
set(SCOPEWATCH_DATA_DIR ${CMAKE_SOURCE_DIR}/data)
set(SCOPEWATCH_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/scopewatch)
set(SCOPEWATCH_LAUNCHER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/scopewatch)
# A packager names themselves when configuring:
#   -DSCOPEWATCH_DEBIAN_MAINTAINER="Name <address>"
set(SCOPEWATCH_DEBIAN_MAINTAINER "Scopewatch developers <scopewatch@example.org>"
    CACHE STRING "Maintainer field of the Debian package, and who signs its changelog")

# The commands, each with the NAME line of its manual page: each is installed with a page made
# from its --help. A new command is one more line.
set(SCOPEWATCH_COMMANDS
    "scopewatch: radar scope for Flight Simulator 2002 multiplayer sessions"
    "scopewatch-build-db: build Scopewatch's airport database without windows"
    "scopewatch-render: draw Scopewatch's radar scope into a PNG picture"
    "scopewatch-replay-info: say what the DirectPlay session in a capture file did"
    "scopewatch-make-demo-sim: write a demo simulator folder to try Scopewatch with"
    "scopewatch-demo-host: host a demo Flight Simulator 2002 session with five pilots")

set(command_names ${SCOPEWATCH_COMMANDS})
list(TRANSFORM command_names REPLACE ":.*$" "")
scopewatch_debian_changelog(${CMAKE_SOURCE_DIR}/NEWS scopewatch "${SCOPEWATCH_DEBIAN_MAINTAINER}"
                            ${CMAKE_BINARY_DIR}/package/changelog)
foreach(entry IN LISTS SCOPEWATCH_COMMANDS)
  string(REGEX MATCH "^([^:]+): (.+)$" matched "${entry}")
  install(TARGETS ${CMAKE_MATCH_1} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Sanitized and fuzzing builds are for the tests and never installed: no pages there.
  if(NOT SCOPEWATCH_SANITIZE AND NOT SCOPEWATCH_FUZZ)
    scopewatch_manual_page(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}" "${command_names}")
  endif()
endforeach()
# A stripped install (cpack's) also drops the compiler's notes (.comment), as Debian strips.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    set(bin_dir \"${CMAKE_INSTALL_BINDIR}\")
    cmake_path(ABSOLUTE_PATH bin_dir BASE_DIRECTORY \"\${CMAKE_INSTALL_PREFIX}\")
    foreach(command ${command_names})
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                              \"\$ENV{DESTDIR}\${bin_dir}/\${command}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
")

# The sounds the main window plays, found beside the program: installed under share/, and in
# the build folder in sounds/ for a program run from there.
file(GLOB SCOPEWATCH_SOUNDS CONFIGURE_DEPENDS ${SCOPEWATCH_DATA_DIR}/sounds/*.wav)
install(FILES ${SCOPEWATCH_SOUNDS} DESTINATION ${CMAKE_INSTALL_DATADIR}/scopewatch/sounds)
file(COPY ${SCOPEWATCH_SOUNDS} DESTINATION ${CMAKE_BINARY_DIR}/sounds)

install(FILES ${SCOPEWATCH_DATA_DIR}/${SCOPEWATCH_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${SCOPEWATCH_DATA_DIR}/${SCOPEWATCH_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${SCOPEWATCH_DATA_DIR}/copyright
        ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION ${SCOPEWATCH_DOC_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs DESTINATION ${SCOPEWATCH_DOC_DIR})
install(FILES ${SCOPEWATCH_DATA_DIR}/scopewatch.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME scopewatch)

# The launcher and the desktop entry name installed paths, which are known only when
# installing (cmake --install --prefix, or cpack's /usr), so they are written then.
install(CODE "
  set(SCOPEWATCH_APP_ID \"${SCOPEWATCH_APP_ID}\")
  set(SCOPEWATCH_DATA_DIR \"${SCOPEWATCH_DATA_DIR}\")
  set(SCOPEWATCH_WORK_DIR \"${CMAKE_BINARY_DIR}/install-generated\")
  set(SCOPEWATCH_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(SCOPEWATCH_LAUNCHER_DIR \"${SCOPEWATCH_LAUNCHER_DIR}\")
  set(SCOPEWATCH_APPLICATIONS_DIR \"${CMAKE_INSTALL_DATADIR}/applications\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/InstallLauncher.cmake\")
")

# The Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME scopewatch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Scopewatch developers")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SCOPEWATCH_DEBIAN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "air traffic control radar for Flight Simulator 2002 sessions")
# The summary is the description's first line; this is the rest, each line under 80
# characters once the control file indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Scopewatch is a radar scope for a person who plays air-traffic controller
in a Microsoft Flight Simulator 2002 multiplayer session. It joins the
session as one more player, reads the simulator's scenery into an airport
database on its first run, and shows the other players' aircraft over the
chosen airport.
.
Also installs the command-line tools scopewatch-build-db, scopewatch-render,
scopewatch-make-demo-sim and scopewatch-demo-host, which build the database
without windows, draw the scope into a picture, and write a demo simulator
folder and host a demo session to try Scopewatch without the simulator.")
# A desktop program for X11 and Wayland with the tools that serve it. Not "games": Debian
# keeps that section's programs in /usr/games with their manual pages in section 6, and
# Scopewatch is a controller's instrument for a simulator's sessions rather than a game of
# its own; its menu entry stays under Games.
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps. Qt loads the Wayland platform plugin at run
# time, which no library dependency shows; without it Qt falls back to X11.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
