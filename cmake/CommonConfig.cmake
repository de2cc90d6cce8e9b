# One interface target with the warnings and flags that every target links.
add_library(kvaderon_common INTERFACE)
if(MSVC)
  target_compile_options(kvaderon_common INTERFACE /W4 /permissive- /utf-8)
else()
  target_compile_options(kvaderon_common INTERFACE -Wall -Wextra -Wshadow)
endif()
target_compile_definitions(kvaderon_common INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH QT_USE_QSTRINGBUILDER
  KVADERON_VERSION="${PROJECT_VERSION}")

if(KVADERON_WARNINGS_AS_ERRORS)
  target_compile_options(kvaderon_common INTERFACE $<IF:$<CXX_COMPILER_ID:MSVC>,/WX,-Werror>)
endif()

if(KVADERON_SANITIZE)
  target_compile_options(kvaderon_common INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(kvaderon_common INTERFACE -fsanitize=address,undefined)
endif()

if(KVADERON_FUZZ)
  target_compile_options(kvaderon_common INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Sets AVariable to the files matching the globs, without those of the other platform: sources
# ending in _win32 build on Windows only, those ending in _posix elsewhere.
function(kvaderon_platform_glob AVariable)
  file(GLOB files CONFIGURE_DEPENDS ${ARGN})
  if(WIN32)
    list(FILTER files EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER files EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  set(${AVariable} ${files} PARENT_SCOPE)
endfunction()

# No link time in Windows executables: two builds of one commit give the same bytes.
if(MINGW)
  target_link_options(kvaderon_common INTERFACE LINKER:--no-insert-timestamp)
endif()

# Debian's hardening of optimised builds: checked libc calls, relocations read-only and bound at start.
if(UNIX AND NOT APPLE)
  target_compile_definitions(kvaderon_common INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  target_link_options(kvaderon_common INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()

# On Windows, gives the executable ATarget its manifest (resources/kvaderon.manifest), a version
# resource with the project's version, the version its programs show, and ADescription, and the
# program's icon (cmake/WindowsIcons.cmake).
function(kvaderon_version_resource ATarget ADescription)
  if(NOT WIN32)
    return()
  endif()
  set(KVADERON_VERSION_BUILD ${PROJECT_VERSION_TWEAK})
  if(NOT KVADERON_VERSION_BUILD)
    set(KVADERON_VERSION_BUILD 0)
  endif()
  set(KVADERON_RC_FILE_NAME ${ATarget}.exe)
  set(KVADERON_RC_DESCRIPTION ${ADescription})
  set(KVADERON_MANIFEST_FILE ${PROJECT_SOURCE_DIR}/resources/kvaderon.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${ATarget}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/kvaderon.rc.in ${rc} @ONLY)
  target_sources(${ATarget} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${KVADERON_ICON_FILE};${KVADERON_MANIFEST_FILE}")
  add_dependencies(${ATarget} kvaderon_windows_icon)
endfunction()
