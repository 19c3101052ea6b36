# rotary.exe: a GUI-subsystem program that needs nothing beside it.
enable_language(RC)

add_executable(rotary WIN32 ${FIGURE_SOURCES} ${SHELL_SOURCES}
               ${PROJECT_SOURCE_DIR}/res/rotary.rc)
# The resource script names the manifest beside it; not every resource
# compiler looks there by itself.
target_include_directories(rotary PRIVATE ${PROJECT_SOURCE_DIR}
                           $<$<COMPILE_LANGUAGE:RC>:${PROJECT_SOURCE_DIR}/res>)
target_link_libraries(rotary PRIVATE user32 gdi32)

if(MSVC)
  # The resource script's manifest must be the only one.
  target_link_options(rotary PRIVATE /MANIFEST:NO /DYNAMICBASE /NXCOMPAT /HIGHENTROPYVA)
else()
  # No MinGW DLLs beside the program; ASLR (with relocations), DEP and
  # high-entropy addresses on.
  target_link_options(rotary PRIVATE -static -static-libgcc -static-libstdc++
                      -Wl,--dynamicbase,--nxcompat,--high-entropy-va)
endif()

# Nothing of the build machine or the clock goes into the executable: no
# link timestamp, and source paths mapped away, so that the same source
# gives the same bytes in any folder at any time.
if(NOT MSVC)
  target_compile_options(rotary PRIVATE
    "$<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.;-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
  target_link_options(rotary PRIVATE -Wl,--no-insert-timestamp
                      $<$<CONFIG:MinSizeRel,Release>:-s>)
else()
  target_link_options(rotary PRIVATE /Brepro)
  target_compile_options(rotary PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:/Brepro>")
endif()

# The release: the executable (stripped when linked: stripping afterwards
# would stamp the time into it), its checksums and a zip with the licence
# and the zip's own README, in this build tree's own dist folder (one per
# configuration where the generator has several), so that no other tree's
# files can stand in for them. Built with everything else, so the tests
# run against exactly what is shipped.
get_property(multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
if(multi_config)
  set(dist ${CMAKE_BINARY_DIR}/dist/$<CONFIG>)
else()
  set(dist ${CMAKE_BINARY_DIR}/dist)
endif()
# Normalises what the zip carries of the machine that packed it; without
# it the zip still opens everywhere but is not byte-reproducible.
find_program(STRIP_NONDETERMINISM strip-nondeterminism)
if(NOT STRIP_NONDETERMINISM)
  message(STATUS "strip-nondeterminism not found: the release zip will not be byte-reproducible")
endif()
# The zip is named for the machine the program runs on, as the compiler
# itself says (the same test as the end-to-end test's): neither the
# processor CMake reports (an x64 shell's, under emulation on Arm) nor the
# toolchain's kind can be trusted to tell.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
#if !defined(_M_ARM64) && !defined(__aarch64__)
#error not ARM64
#endif
int main() { return 0; }" ROTARY_TARGET_IS_ARM64)
if(ROTARY_TARGET_IS_ARM64)
  set(zip rotary-windows-arm64.zip)
else()
  set(zip rotary-windows-x64.zip)
endif()
# Built on Debian, the release also records the build environment
# (BUILDINFO: the Debian release and the toolchain's package versions), so
# that anyone can install the same one and rebuild the same bytes.
set(release_files ${dist}/rotary.exe ${dist}/SHA256SUMS ${dist}/${zip})
set(buildinfo_command "")
find_program(DPKG_QUERY dpkg-query)
if(CMAKE_HOST_UNIX AND DPKG_QUERY)
  list(APPEND release_files ${dist}/BUILDINFO)
  set(buildinfo_command COMMAND ${CMAKE_COMMAND} -DOUT=${dist}/BUILDINFO -DDPKG_QUERY=${DPKG_QUERY}
                        -P ${PROJECT_SOURCE_DIR}/cmake/buildinfo.cmake)
endif()
add_custom_command(
  OUTPUT ${release_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${dist}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:rotary> ${dist}/rotary.exe
  COMMAND ${CMAKE_COMMAND} -DDIST=${dist} -DZIP=${zip} -DLICENSE=${PROJECT_SOURCE_DIR}/LICENSE
          -DREADME=${PROJECT_SOURCE_DIR}/res/README.txt
          -DSTRIP_NONDETERMINISM=${STRIP_NONDETERMINISM}
          -P ${PROJECT_SOURCE_DIR}/cmake/package.cmake
  ${buildinfo_command}
  DEPENDS rotary ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/res/README.txt
          ${PROJECT_SOURCE_DIR}/cmake/package.cmake ${PROJECT_SOURCE_DIR}/cmake/buildinfo.cmake
  COMMENT "Release files"
  VERBATIM)
add_custom_target(dist ALL DEPENDS ${release_files})
# Where the tests find the release files.
set_target_properties(dist PROPERTIES RELEASE_DIR ${dist})
