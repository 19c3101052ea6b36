# Windows programs that drive rotary.exe from outside. Under
# cross-compilation ctest runs them through Wine (the toolchain's
# emulator); on Windows they run directly.
add_library(remote STATIC ${CMAKE_CURRENT_LIST_DIR}/remote.cpp ${CMAKE_CURRENT_LIST_DIR}/checks.cpp
                   ${FIGURE_SOURCES})
target_include_directories(remote PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR})
target_link_libraries(remote PUBLIC user32 gdi32)
if(MINGW)
  target_link_options(remote INTERFACE -municode -static)
endif()

# The end-to-end test: the real program's window and pixels, run against
# the release executable, the very bytes that are shipped.
add_executable(rotary_e2e ${CMAKE_CURRENT_LIST_DIR}/driver.cpp ${CMAKE_CURRENT_LIST_DIR}/image_facts.cpp)
target_link_libraries(rotary_e2e PRIVATE remote)
add_dependencies(rotary_e2e dist)
# What the executable can be held to depends on the toolchain that made it.
# The GNU linker leaves the link time stamp zero and the stripped MinGW
# release stays within 32 KB; MSVC's /Brepro writes a hash of the image
# where the time stamp goes, and its static C runtime should come to some
# 100 KB. Builds that keep their symbols (Debug) are held to no size.
if(MSVC)
  set(zero_time_stamp 0)
  set(size_limit_kb $<IF:$<CONFIG:MinSizeRel,Release>,192,0>)
else()
  set(zero_time_stamp 1)
  set(size_limit_kb $<IF:$<CONFIG:MinSizeRel,Release>,32,0>)
endif()
target_compile_definitions(rotary_e2e PRIVATE ROTARY_ZERO_TIME_STAMP=${zero_time_stamp}
                                              ROTARY_SIZE_LIMIT_KB=${size_limit_kb})
add_test(NAME end_to_end COMMAND rotary_e2e ${dist}/rotary.exe)
set_tests_properties(end_to_end PROPERTIES TIMEOUT 600)
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  # Once more on a laptop's screen, whose work area cannot hold an 800x600
  # client: the test must fit itself to it, not fail.
  add_test(NAME end_to_end_laptop_screen COMMAND rotary_e2e ${dist}/rotary.exe)
  set_tests_properties(end_to_end_laptop_screen PROPERTIES TIMEOUT 600
                                                ENVIRONMENT ROTARY_SCREEN=1024x576)
endif()

# Two release builds from differently named folders must match byte for
# byte. The script rebuilds with Debian's cross toolchain, so it runs only
# where that build does.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  add_test(NAME reproducible_release COMMAND ${PROJECT_SOURCE_DIR}/tools/check-reproducible.sh)
  set_tests_properties(reproducible_release PROPERTIES TIMEOUT 300)
  # The Scoop and winget manifests `make manifests` makes from this tree's
  # release files (a bash script, as on the release job that runs it).
  add_test(NAME release_manifests COMMAND ${PROJECT_SOURCE_DIR}/tests/manifests_test.sh ${dist})
endif()

# The soak: the long run that the end-to-end test leaves to it (thousands of
# repaints, the GDI objects and the working set). Part of `make test`;
# `make soak` runs it alone.
add_executable(rotary_soak ${CMAKE_CURRENT_LIST_DIR}/soak.cpp)
target_link_libraries(rotary_soak PRIVATE remote)
if(NOT MSVC)
  target_link_libraries(rotary_soak PRIVATE psapi)
endif()
add_dependencies(rotary_soak dist)
add_test(NAME soak COMMAND rotary_soak ${dist}/rotary.exe)
set_tests_properties(soak PROPERTIES TIMEOUT 1200 LABELS soak)
# The window tests share the desktop: one's resizes and minimising would
# disturb another's reads of its window, so they never run side by side
# (ctest -j, Test Explorer). Under Wine every test takes the prefix's lock
# instead, which serialises them all.
set_tests_properties(end_to_end soak PROPERTIES RESOURCE_LOCK desktop)
