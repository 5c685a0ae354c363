# Shared build helpers. Sources are found by glob so that a new file needs no
# CMake edit; CONFIGURE_DEPENDS makes the build notice added files.

set(KORV_ROOT ${CMAKE_SOURCE_DIR})

# float-cast-overflow is not part of "undefined" in GCC or clang: a float
# setting or file value cast to an integer it does not fit is caught too.
if(KORV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

# The fuzz build instruments the engine libraries as well as the harnesses, or
# the fuzzer sees almost none of the code it drives. Only the fuzz targets link
# libFuzzer itself (fuzz/CMakeLists.txt).
set(KORV_FUZZ_ENGINE OFF)
if(KORV_FUZZ)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(KORV_FUZZ_ENGINE ON)
    add_compile_options(-fsanitize=fuzzer-no-link)
    add_link_options(-fsanitize=fuzzer-no-link)
  else()
    message(WARNING "KORV_FUZZ needs clang; the fuzz targets build as replay programs")
  endif()
endif()

function(korv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # GCC 12 at -O2 reports overlapping copies inside libstdc++'s own
  # "text" + std::string (fixed in GCC 13); the call sites are correct.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(KORV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# korv_library(name folder [EXCLUDE files...]): a static library of every .cpp
# under folder, or an interface library while the folder has no sources yet.
function(korv_library name folder)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${KORV_ROOT}/${folder}/*.cpp ${KORV_ROOT}/${folder}/*.c)
  foreach(ex ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${KORV_ROOT}/${ex})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${KORV_ROOT} ${KORV_ROOT}/src)
    korv_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${KORV_ROOT} ${KORV_ROOT}/src)
  endif()
endfunction()

# korv_link(name deps...): links whatever kind of library korv_library made.
function(korv_link name)
  get_target_property(type ${name} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${name} INTERFACE ${ARGN})
  else()
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()
