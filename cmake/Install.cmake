# Installs Scopewatch the way a Linux desktop program is installed, and packages it for Debian.
#
#   cmake --install build --prefix P   the program and the four tools in P/bin, the menu
#                                      launcher in P/libexec/scopewatch, the desktop entry,
#                                      icon and AppStream metainfo under P/share, the README
#                                      and docs/ in P/share/doc/scopewatch
#   cd build && cpack -G DEB           the same as a Debian package, scopewatch_1.0_<arch>.deb
#
# Only these are installed: never the tests, the benchmarks or the libraries.
include(GNUInstallDirs)

set(SCOPEWATCH_APP_ID io.github.scopewatch.Scopewatch)
set(SCOPEWATCH_DATA_DIR ${CMAKE_SOURCE_DIR}/data)
set(SCOPEWATCH_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/scopewatch)
set(SCOPEWATCH_LAUNCHER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/scopewatch)

install(TARGETS scopewatch scopewatch-build-db scopewatch-demo-host scopewatch-make-demo-sim
                scopewatch-render
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${SCOPEWATCH_DATA_DIR}/${SCOPEWATCH_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${SCOPEWATCH_DATA_DIR}/${SCOPEWATCH_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${SCOPEWATCH_DOC_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs DESTINATION ${SCOPEWATCH_DOC_DIR})

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
set(SCOPEWATCH_PACKAGE_MAINTAINER "Scopewatch developers <scopewatch@localhost>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SCOPEWATCH_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "air traffic control radar for Flight Simulator 2002 sessions")
# The summary is the description's first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Scopewatch is a radar scope for a person who plays air-traffic controller in a
Microsoft Flight Simulator 2002 multiplayer session. It joins the session as one
more player, reads the simulator's scenery into an airport database on its first
run, and shows the other players' aircraft over the chosen airport.
.
Also installs the command-line tools scopewatch-build-db, scopewatch-render,
scopewatch-make-demo-sim and scopewatch-demo-host, which build the database
without windows, draw the scope into a picture, and write a demo simulator
folder and host a demo session to try Scopewatch without the simulator.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
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
