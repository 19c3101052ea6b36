# GoogleTest for an MSVC build, from the vcpkg at VCPKG_ROOT (Visual
# Studio's developer prompts point it at the copy Visual Studio ships).
# Included before project(), so that vcpkg's toolchain can install what
# vcpkg.json asks for while configuring.
#
# The triplet is the static one for the compiler's target (x64 or ARM64):
# the suites then link the same static C runtime as rotary.exe, so both
# sides of a pixel comparison compute with the same maths library.
#
# It runs at every configure, not only the first: vcpkg's toolchain
# installs again each time, and must again be told which Visual Studio to
# use. A toolchain file of the user's own (not vcpkg's) is left alone.
if(DEFINED CMAKE_TOOLCHAIN_FILE)
  if(NOT CMAKE_TOOLCHAIN_FILE MATCHES "/scripts/buildsystems/vcpkg\\.cmake$")
    return()
  endif()
elseif(NOT DEFINED ENV{VCPKG_ROOT} OR NOT EXISTS "$ENV{VCPKG_ROOT}/scripts/buildsystems/vcpkg.cmake")
  message(STATUS "VCPKG_ROOT is not set (or holds no vcpkg): configuring without vcpkg, "
                 "so the GoogleTest suites are skipped unless CMake finds GoogleTest itself")
  return()
else()
  file(TO_CMAKE_PATH "$ENV{VCPKG_ROOT}" vcpkg_root)
  set(CMAKE_TOOLCHAIN_FILE "${vcpkg_root}/scripts/buildsystems/vcpkg.cmake")
endif()

# vcpkg picks the newest Visual Studio on the machine by itself; GoogleTest
# must be built by the one this build uses (a VS 2022 linker cannot take
# VS 2026's libraries), which a developer environment names. vcpkg matches
# the path exactly against the installation paths it finds, which end in
# no separator, while the environment's VSINSTALLDIR ends in a backslash.
# A path the user set is theirs and stands as it is.
if(NOT DEFINED ENV{VCPKG_VISUAL_STUDIO_PATH} AND DEFINED ENV{VSINSTALLDIR})
  string(REGEX REPLACE "[/\\\\]+$" "" vs_path "$ENV{VSINSTALLDIR}")
  set(ENV{VCPKG_VISUAL_STUDIO_PATH} "${vs_path}")
endif()

if(NOT DEFINED VCPKG_TARGET_TRIPLET)
  # A developer prompt names its target; otherwise the compiler's folder
  # does (...\bin\Hostx64\arm64\cl.exe).
  set(target_arch "$ENV{VSCMD_ARG_TGT_ARCH}")
  if(target_arch STREQUAL "")
    find_program(rotary_cl NAMES cl)
    if(rotary_cl MATCHES "/([A-Za-z0-9]+)/cl\\.exe$")
      set(target_arch "${CMAKE_MATCH_1}")
    endif()
  endif()
  string(TOLOWER "${target_arch}" target_arch)
  if(target_arch STREQUAL "amd64")
    set(target_arch x64)
  endif()
  if(target_arch MATCHES "^(x64|arm64|x86)$")
    set(VCPKG_TARGET_TRIPLET "${target_arch}-windows-static" CACHE STRING "vcpkg target triplet")
  else()
    message(WARNING "Cannot tell the compiler's target from \"${target_arch}\": "
                    "set VCPKG_TARGET_TRIPLET (x64-windows-static or arm64-windows-static)")
  endif()
endif()
