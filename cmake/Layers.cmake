# The layers of the source tree, read from tests/architecture/layers.rules: each line
# "folder: other other ..." names the folders whose headers the folder's files may include.
# The same file drives the architecture test, so what compiles and what is allowed cannot
# drift apart.
#
#   scopewatch_read_layers()             reads the rules: SCOPEWATCH_LAYER_FOLDERS (the folders
#                                        of src/, bottom first) and one list per line
#   scopewatch_add_layer_libraries()     one static library per folder of src/, linking the
#                                        libraries of the folders its line names
#   scopewatch_rule_libraries(KEY VAR)   the libraries a line allows, for an executable
#   scopewatch_library_name(FOLDER VAR)  "scope/ui" -> scopewatch_scope_ui

set(SCOPEWATCH_LAYERS_FILE ${CMAKE_SOURCE_DIR}/tests/architecture/layers.rules)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SCOPEWATCH_LAYERS_FILE})

function(scopewatch_library_name folder var)
  string(REPLACE "/" "_" name "scopewatch_${folder}")
  set(${var} ${name} PARENT_SCOPE)
endfunction()

# The rule of KEY as a variable name.
function(_scopewatch_rule_variable key var)
  string(MAKE_C_IDENTIFIER "SCOPEWATCH_RULE_${key}" name)
  set(${var} ${name} PARENT_SCOPE)
endfunction()

function(scopewatch_read_layers)
  file(STRINGS ${SCOPEWATCH_LAYERS_FILE} lines)
  set(folders "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "#.*$" "" line "${line}")
    if(NOT line MATCHES "^([^: ]+):(.*)$")
      continue()
    endif()
    set(key ${CMAKE_MATCH_1})
    string(STRIP "${CMAKE_MATCH_2}" words)
    separate_arguments(words UNIX_COMMAND "${words}")
    _scopewatch_rule_variable(${key} variable)
    set(${variable} "${words}" PARENT_SCOPE)
    if(NOT key MATCHES "^(apps|tests|fuzz|benchmarks)(/|$)")
      list(APPEND folders ${key})
    endif()
  endforeach()
  set(SCOPEWATCH_LAYER_FOLDERS ${folders} PARENT_SCOPE)
endfunction()

# The folders of src/ that KEY's line allows ("*" expanded, "!folder" taken away, "support"
# and the key itself left out).
function(_scopewatch_allowed_folders key var)
  _scopewatch_rule_variable(${key} variable)
  set(words ${${variable}})
  set(allowed "")
  if("*" IN_LIST words)
    set(allowed ${SCOPEWATCH_LAYER_FOLDERS})
  endif()
  foreach(word IN LISTS words)
    if(word MATCHES "^!(.+)$")
      list(REMOVE_ITEM allowed ${CMAKE_MATCH_1})
    elseif(NOT word STREQUAL "*" AND NOT word STREQUAL "support")
      list(APPEND allowed ${word})
    endif()
  endforeach()
  list(REMOVE_ITEM allowed ${key})
  list(REMOVE_DUPLICATES allowed)
  set(${var} ${allowed} PARENT_SCOPE)
endfunction()

function(scopewatch_rule_libraries key var)
  _scopewatch_allowed_folders(${key} folders)
  set(libraries "")
  foreach(folder IN LISTS folders)
    scopewatch_library_name(${folder} library)
    list(APPEND libraries ${library})
  endforeach()
  set(${var} ${libraries} PARENT_SCOPE)
endfunction()

# Qt modules a folder uses beyond QtCore.
function(_scopewatch_qt_modules folder var)
  if(folder STREQUAL "mainwindow/ui")
    # The main window plays its sounds through Qt Multimedia.
    set(${var} Qt6::Widgets Qt6::Multimedia PARENT_SCOPE)
  elseif(folder MATCHES "/ui$" OR folder STREQUAL "app")
    set(${var} Qt6::Widgets PARENT_SCOPE)
  elseif(folder STREQUAL "directplay")
    set(${var} Qt6::Network PARENT_SCOPE)
  elseif(folder STREQUAL "scope")
    set(${var} Qt6::Gui PARENT_SCOPE)
  else()
    set(${var} Qt6::Core PARENT_SCOPE)
  endif()
endfunction()

# Compiles a target's sources a few at a time in one translation unit (a unity build): each
# heavy standard and Qt header is parsed once per batch instead of once per file.
# SCOPEWATCH_FAST_BUILD=OFF compiles file by file. (Precompiled headers on top of the batches
# cost more than they saved: making one per target and loading it into every batch took a
# quarter more processor time with g++ and a fifth more with clang.)
option(SCOPEWATCH_FAST_BUILD "Unity builds" ON)
function(scopewatch_compile_together target)
  if(SCOPEWATCH_FAST_BUILD)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  endif()
endfunction()

# Libraries of the system a folder uses, linked to its library only (its headers do not
# include theirs): libpcap for the capture files.
function(_scopewatch_system_libraries folder var)
  if(folder STREQUAL "capture")
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(PCAP REQUIRED IMPORTED_TARGET libpcap)
    set(${var} PkgConfig::PCAP PARENT_SCOPE)
  else()
    set(${var} "" PARENT_SCOPE)
  endif()
endfunction()

function(scopewatch_add_layer_libraries)
  foreach(folder IN LISTS SCOPEWATCH_LAYER_FOLDERS)
    scopewatch_library_name(${folder} library)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
    scopewatch_rule_libraries(${folder} dependencies)
    _scopewatch_qt_modules(${folder} qt)
    _scopewatch_system_libraries(${folder} system)
    if(sources)
      add_library(${library} STATIC ${sources} ${headers})
      target_include_directories(${library} PUBLIC ${CMAKE_SOURCE_DIR}/src)
      target_link_libraries(${library} PUBLIC ${dependencies} ${qt})
      if(system)
        target_link_libraries(${library} PRIVATE ${system})
      endif()
      scopewatch_compile_together(${library})
    else()
      add_library(${library} INTERFACE)
      target_include_directories(${library} INTERFACE ${CMAKE_SOURCE_DIR}/src)
      target_link_libraries(${library} INTERFACE ${dependencies} ${qt})
    endif()
  endforeach()
endfunction()
