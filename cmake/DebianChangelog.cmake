# The package's changelog, from NEWS: each release there, a heading "Scopewatch VERSION
# (YYYY-MM-DD)" and its lines indented by two spaces, becomes an entry in the Debian format
# signed by the package's maintainer, written when configuring and compressed as Debian keeps
# changelogs (gzip -9n: no name or time inside) when building. The newest release (the first)
# must be the project's version. Also gives the newest release's date as seconds since 1970,
# for what the build stamps with a date (the manual pages), so that the same source makes the
# same files.
find_program(SCOPEWATCH_GZIP gzip REQUIRED)

# The date as the Debian changelog writes it ("Mon, 07 Dec 2026 00:00:00 +0000"), and as
# seconds since 1970.
function(scopewatch_release_date iso_date rfc_var seconds_var)
  execute_process(COMMAND date -u -R -d "${iso_date}" OUTPUT_VARIABLE rfc
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rfc_failed)
  execute_process(COMMAND date -u +%s -d "${iso_date}" OUTPUT_VARIABLE seconds
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE seconds_failed)
  if(rfc_failed OR seconds_failed)
    message(FATAL_ERROR "NEWS: ${iso_date} is no date")
  endif()
  set(${rfc_var} "${rfc}" PARENT_SCOPE)
  set(${seconds_var} "${seconds}" PARENT_SCOPE)
endfunction()

# Ends the entry being written: its lines without the blank ones around them, then the
# signature.
macro(scopewatch_close_changelog_entry)
  if(DEFINED entry_date)
    string(STRIP "${entry_lines}" entry_lines)
    string(APPEND changelog "\n  ${entry_lines}\n\n -- ${maintainer}  ${entry_date}\n")
    unset(entry_date)
  endif()
endmacro()

# Writes the changelog into out (only when its text changes), makes out.gz from it at build
# time, and sets SCOPEWATCH_RELEASE_EPOCH.
function(scopewatch_debian_changelog news package maintainer out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${news}")
  file(READ "${news}" text)
  # One list element a line: the text's own semicolons are set aside meanwhile.
  string(ASCII 1 semicolon)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(changelog "")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(REPLACE "${semicolon}" ";" line "${line}")
    if(line MATCHES "^Scopewatch ([^ ]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)$")
      set(version "${CMAKE_MATCH_1}")
      set(date "${CMAKE_MATCH_2}")
      if(DEFINED entry_date)
        scopewatch_close_changelog_entry()
        string(APPEND changelog "\n")
      endif()
      scopewatch_release_date("${date}" entry_date seconds)
      if(NOT DEFINED SCOPEWATCH_RELEASE_EPOCH)
        if(NOT version VERSION_EQUAL PROJECT_VERSION)
          message(FATAL_ERROR "NEWS: the newest release is ${version}, not ${PROJECT_VERSION}")
        endif()
        set(SCOPEWATCH_RELEASE_EPOCH ${seconds})
      endif()
      string(APPEND changelog "${package} (${version}) unstable; urgency=medium\n")
      set(entry_lines "")
    elseif(line MATCHES "^  " AND DEFINED entry_date)
      string(APPEND entry_lines "${line}\n")
    elseif(NOT line STREQUAL "")
      message(FATAL_ERROR "NEWS:${number}: neither a release heading nor an indented line")
    elseif(DEFINED entry_date)
      string(APPEND entry_lines "\n")
    endif()
  endforeach()
  scopewatch_close_changelog_entry()
  if(NOT DEFINED SCOPEWATCH_RELEASE_EPOCH)
    message(FATAL_ERROR "NEWS holds no release")
  endif()
  # Written only when it changes, so that what is made from it is not made again.
  set(old "")
  if(EXISTS "${out}")
    file(READ "${out}" old)
  endif()
  if(NOT old STREQUAL changelog)
    file(WRITE "${out}" "${changelog}")
  endif()
  add_custom_command(OUTPUT "${out}.gz" COMMAND ${SCOPEWATCH_GZIP} -9nkf "${out}"
                     DEPENDS "${out}" VERBATIM)
  add_custom_target(debian-changelog ALL DEPENDS "${out}.gz")
  set(SCOPEWATCH_RELEASE_EPOCH ${SCOPEWATCH_RELEASE_EPOCH} PARENT_SCOPE)
endfunction()
