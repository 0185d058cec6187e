# Install rules and packages.
#
#   cmake --install build --prefix P    bin/quorvane-editor, bin/quorvane-cli and,
#                                       on Linux, the desktop entry, the icons
#                                       and the AppStream metadata
#   cpack -G DEB (in the build folder)  a Debian package of the same tree
#   cpack -G ZIP (on Windows)           the programs with the Qt libraries that
#                                       windeployqt copies beside them
include(GNUInstallDirs)

set(QUORVANE_APP_ID io.github.quorvane.Editor)
set(QUORVANE_HOMEPAGE "https://github.com/quorvane/editor" CACHE STRING "Project home page named in the package and the AppStream metadata")
set(QUORVANE_SCREENSHOT_URL "https://raw.githubusercontent.com/quorvane/editor/main/docs/main_window.png"
    CACHE STRING "Screenshot named in the AppStream metadata")
set(QUORVANE_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence expression of the program")
# The date of the release named by project(VERSION); change both together.
set(QUORVANE_RELEASE_DATE 2026-12-07)

install(TARGETS quorvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(QUORVANE_BUILD_GUI)
  install(TARGETS quorvane-editor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
                                  BUNDLE DESTINATION .)
endif()

if(UNIX AND NOT APPLE AND QUORVANE_BUILD_GUI)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/${QUORVANE_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 32 48 64 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icon_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${QUORVANE_APP_ID}.png)
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/resources/${QUORVANE_APP_ID}.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/${QUORVANE_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${QUORVANE_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

if(WIN32 AND QUORVANE_BUILD_GUI)
  # windeployqt copies the Qt libraries and plugins the editor needs beside
  # the installed program, at install time (so also into CPack's ZIP).
  if(TARGET Qt6::windeployqt)
    get_target_property(QUORVANE_WINDEPLOYQT Qt6::windeployqt IMPORTED_LOCATION)
  else()
    get_target_property(_qmake Qt6::qmake IMPORTED_LOCATION)
    get_filename_component(_qt_bin "${_qmake}" DIRECTORY)
    find_program(QUORVANE_WINDEPLOYQT windeployqt HINTS "${_qt_bin}" REQUIRED)
  endif()
  install(CODE "
    set(_exe \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quorvane-editor.exe\")
    execute_process(COMMAND \"${QUORVANE_WINDEPLOYQT}\" --no-translations \"\${_exe}\"
                    RESULT_VARIABLE _status)
    if(NOT _status EQUAL 0)
      message(FATAL_ERROR \"windeployqt failed for \${_exe}\")
    endif()
  ")
  if(MSVC)
    # The Visual C++ runtime libraries beside the programs (windeployqt
    # copies the MinGW ones itself).
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION ${CMAKE_INSTALL_BINDIR})
    include(InstallRequiredSystemLibraries)
  endif()
endif()

set(CPACK_PACKAGE_NAME quorvane-editor)
set(CPACK_PACKAGE_VENDOR "Quorvane Editor developers")
set(CPACK_PACKAGE_CONTACT "Quorvane Editor developers <quorvane-editor@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for the rules data of the strategy game Quorvane")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the item powers, buildings, spells, units, races, heroes and rule\n"
    "constants out of the game's files, shows them in tables and forms, keeps\n"
    "them in a plain text rules file and writes them back into the game files\n"
    "in place. Includes quorvane-cli, the same file actions from a shell.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${QUORVANE_HOMEPAGE}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Quorvane Editor")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# dpkg-shlibdeps names the Qt 6, C++ runtime and other library packages the
# programs link against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
