# Runs while installing (see Install.cmake): writes the menu launcher and the desktop entry
# with the installed paths, then installs them. CMAKE_INSTALL_PREFIX is the prefix of this
# install; file(INSTALL) adds DESTDIR, as cpack uses it.

function(scopewatch_installed_dir var dir)
  cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE
             OUTPUT_VARIABLE absolute)
  string(REGEX REPLACE "(.)/$" "\\1" absolute "${absolute}")
  set(${var} "${absolute}" PARENT_SCOPE)
endfunction()

# A text for inside a shell script's double quotes.
function(scopewatch_shell_quoted var text)
  string(REGEX REPLACE "([\\\"$`])" "\\\\\\1" escaped "${text}")
  set(${var} "\"${escaped}\"" PARENT_SCOPE)
endfunction()

# An Exec value naming one program: quoted, with the characters the desktop entry format
# reserves inside quotes escaped, then every backslash doubled as in any string value.
function(scopewatch_exec_value var program)
  string(REPLACE "\\" "\\\\" quoted "${program}")
  string(REPLACE "\"" "\\\"" quoted "${quoted}")
  string(REPLACE "`" "\\`" quoted "${quoted}")
  string(REPLACE "$" "\\$" quoted "${quoted}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(${var} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

scopewatch_installed_dir(bin_dir "${SCOPEWATCH_BINDIR}")
scopewatch_installed_dir(launcher_dir "${SCOPEWATCH_LAUNCHER_DIR}")
scopewatch_installed_dir(applications_dir "${SCOPEWATCH_APPLICATIONS_DIR}")
scopewatch_shell_quoted(SCOPEWATCH_PROGRAM "${bin_dir}/scopewatch")
scopewatch_exec_value(SCOPEWATCH_LAUNCHER_EXEC "${launcher_dir}/scopewatch-launcher")

configure_file("${SCOPEWATCH_DATA_DIR}/scopewatch-launcher.in"
               "${SCOPEWATCH_WORK_DIR}/scopewatch-launcher" @ONLY)
configure_file("${SCOPEWATCH_DATA_DIR}/${SCOPEWATCH_APP_ID}.desktop.in"
               "${SCOPEWATCH_WORK_DIR}/${SCOPEWATCH_APP_ID}.desktop" @ONLY)
file(INSTALL DESTINATION "${launcher_dir}" TYPE PROGRAM
     FILES "${SCOPEWATCH_WORK_DIR}/scopewatch-launcher")
file(INSTALL DESTINATION "${applications_dir}" TYPE FILE
     FILES "${SCOPEWATCH_WORK_DIR}/${SCOPEWATCH_APP_ID}.desktop")
