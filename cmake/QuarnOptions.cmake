# Compiler settings shared by every target of the project.
add_library(quarn_options INTERFACE)
target_compile_options(quarn_options INTERFACE -Wall -Wextra -Werror)
target_include_directories(quarn_options INTERFACE ${CMAKE_SOURCE_DIR}/src)

if(QUARN_SANITIZE)
  set(QUARN_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
                            -fno-sanitize-recover=undefined)
  add_compile_options(${QUARN_SANITIZER_FLAGS})
  add_link_options(${QUARN_SANITIZER_FLAGS})
endif()

if(QUARN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUARN_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  # Everything is instrumented for coverage; only the fuzz executables link the fuzzer main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# quarn_library(NAME SOURCES... DEPENDS targets...): one library per src/ folder.
function(quarn_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC quarn_options ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
endfunction()
