# Manual pages: help2man makes each command's page from its --help at build time, with the
# NAME line the caller gives and a SEE ALSO naming the other commands, and the page is
# compressed as Debian keeps manual pages (gzip -9n). Pages are dated with the release (NEWS),
# so that the same source makes the same pages. Needs help2man (scripts/install-deps.sh
# installs it).
find_program(SCOPEWATCH_HELP2MAN help2man)
find_program(SCOPEWATCH_GZIP gzip REQUIRED)
if(NOT SCOPEWATCH_HELP2MAN)
  message(FATAL_ERROR "help2man makes the manual pages: apt-get install help2man")
endif()

# The page of one command, made in man/ of the build folder, installed under man1; see_also
# lists every command with a page.
function(scopewatch_manual_page command summary see_also)
  set(dir ${CMAKE_BINARY_DIR}/man)
  # Command names are neither hyphenated nor broken at their hyphens, nor is the description,
  # which names files; the list of commands is not stretched to the right margin.
  list(REMOVE_ITEM see_also ${command})
  list(TRANSFORM see_also REPLACE "-" "\\\\-")
  list(TRANSFORM see_also PREPEND ".BR \\%")
  list(TRANSFORM see_also APPEND " (1)")
  list(JOIN see_also ",\n" references)
  file(CONFIGURE OUTPUT ${dir}/${command}.h2m
       CONTENT "[<DESCRIPTION]\n.nh\n[SEE ALSO]\n.ad l\n${references}\n.PP\nThe README in the \
documentation folder (/usr/share/doc/scopewatch for the Debian package) tells more.\n" @ONLY)
  add_custom_command(
    OUTPUT ${dir}/${command}.1.gz
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${SCOPEWATCH_RELEASE_EPOCH}
            ${SCOPEWATCH_HELP2MAN} --no-info --section=1 --version-string=${PROJECT_VERSION}
            "--source=Scopewatch ${PROJECT_VERSION}" "--name=${summary}"
            --include=${dir}/${command}.h2m --output=${dir}/${command}.1 $<TARGET_FILE:${command}>
    COMMAND ${SCOPEWATCH_GZIP} -9nf ${dir}/${command}.1
    DEPENDS ${command} ${dir}/${command}.h2m
    COMMENT "Making the manual page of ${command}"
    VERBATIM)
  add_custom_target(${command}-manual-page ALL DEPENDS ${dir}/${command}.1.gz)
  install(FILES ${dir}/${command}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
