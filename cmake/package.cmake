# Packs the release folder DIST: a zip (named ZIP) of LICENSE, README.txt
# (the zip's own, res/README.txt, which reads whole without the
# repository) and rotary.exe, and SHA256SUMS over the executable and the
# zip in the format `sha256sum -c` reads.
#
# The zip must depend on nothing but its three files. The copies get fixed
# permissions (the umask and the checkout's modes would otherwise show),
# and strip-nondeterminism then rewrites every member's times and drops the
# extra fields that carry owner ids and access times. Without it (it is a
# Debian tool) the zip is packed all the same, only not reproducibly.
set(staging ${DIST}/package)
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging})
file(COPY_FILE ${LICENSE} ${staging}/LICENSE)
file(COPY_FILE ${README} ${staging}/README.txt)
file(COPY_FILE ${DIST}/rotary.exe ${staging}/rotary.exe)
file(CHMOD ${staging}/LICENSE ${staging}/README.txt ${staging}/rotary.exe
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(zip ${DIST}/${ZIP})
file(REMOVE ${zip})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip "--mtime=2000-01-01 00:00:00 UTC"
          LICENSE README.txt rotary.exe
  WORKING_DIRECTORY ${staging}
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${staging})
if(STRIP_NONDETERMINISM)
  # 946684800: 2000-01-01 00:00:00 UTC, the time given to tar above.
  execute_process(
    COMMAND ${STRIP_NONDETERMINISM} --type zip --timestamp 946684800 ${zip}
    COMMAND_ERROR_IS_FATAL ANY)
endif()

set(sums "")
foreach(name rotary.exe ${ZIP})
  file(SHA256 ${DIST}/${name} hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${DIST}/SHA256SUMS "${sums}")
