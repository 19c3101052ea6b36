# What cmake/vcpkg-gtest.cmake hands vcpkg, for the environments a Visual
# Studio user configures from. Each case runs the file in a child cmake
# (-P) with only that case's variables set, against a stand-in vcpkg root,
# and compares the Visual Studio path and the triplet it chose.
#
#   cmake -P tests/vcpkg_setup_test.cmake
if(DEFINED PROBE)
  include(${CMAKE_CURRENT_LIST_DIR}/../cmake/vcpkg-gtest.cmake)
  message("vs=[$ENV{VCPKG_VISUAL_STUDIO_PATH}] triplet=[${VCPKG_TARGET_TRIPLET}]")
  return()
endif()

string(RANDOM LENGTH 8 tag)
set(stub ${CMAKE_CURRENT_BINARY_DIR}/vcpkg-stub-${tag})
file(WRITE ${stub}/scripts/buildsystems/vcpkg.cmake "")

set(failed 0)
# expect(<case> <VSINSTALLDIR> <VCPKG_VISUAL_STUDIO_PATH, or - for unset>
#        <VSCMD_ARG_TGT_ARCH> <what the file must hand vcpkg> [<-D for the child>...])
function(expect name installdir user_path target expected)
  # (Each value a quoted argument of its own: in a CMake list a trailing
  # backslash would swallow the separator after it.)
  if(user_path STREQUAL "-")
    set(user_env --unset=VCPKG_VISUAL_STUDIO_PATH)
  else()
    set(user_env "VCPKG_VISUAL_STUDIO_PATH=${user_path}")
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=VCPKG_TARGET_TRIPLET "VCPKG_ROOT=${stub}"
            "VSCMD_ARG_TGT_ARCH=${target}" "VSINSTALLDIR=${installdir}" "${user_env}"
            ${CMAKE_COMMAND} -DPROBE=1 ${ARGN} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
  string(STRIP "${out}" out)
  if(status EQUAL 0 AND out STREQUAL expected)
    message("ok: ${name}")
  else()
    message("FAIL: ${name}: expected ${expected}, got ${out} (exit ${status})")
    set(failed 1 PARENT_SCOPE)
  endif()
endfunction()

set(vs2022 "C:\\Program Files\\Microsoft Visual Studio\\2022\\Enterprise")
expect("a developer prompt's path loses its backslash" "${vs2022}\\" - x64
       "vs=[${vs2022}] triplet=[x64-windows-static]")
expect("a path without one stays" "${vs2022}" - arm64
       "vs=[${vs2022}] triplet=[arm64-windows-static]")
expect("the user's own path stands as set" "${vs2022}\\" "D:\\VS\\18\\" AMD64
       "vs=[D:\\VS\\18\\] triplet=[x64-windows-static]")
# A reconfigure, where vcpkg's toolchain file is already in the cache.
expect("a reconfigure hands the path again" "${vs2022}\\" - x64
       "vs=[${vs2022}] triplet=[x64-windows-static]"
       -DCMAKE_TOOLCHAIN_FILE=${stub}/scripts/buildsystems/vcpkg.cmake)
expect("a toolchain of the user's own is left alone" "${vs2022}\\" - x64
       "vs=[] triplet=[]" -DCMAKE_TOOLCHAIN_FILE=C:/toolchains/mine.cmake)

file(REMOVE_RECURSE ${stub})
if(failed)
  message(FATAL_ERROR "vcpkg setup: some cases failed")
endif()
