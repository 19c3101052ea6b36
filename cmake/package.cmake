# Packs the release folder DIST: a zip of rotary.exe and README (fixed
# file times, so the zip too depends on nothing but its contents) and
# SHA256SUMS over both, in the format `sha256sum -c` reads.
file(MAKE_DIRECTORY ${DIST}/package)
file(COPY_FILE ${README} ${DIST}/package/README.md)
file(COPY_FILE ${DIST}/rotary.exe ${DIST}/package/rotary.exe)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${DIST}/rotary-windows-x64.zip --format=zip
          "--mtime=2000-01-01 00:00:00 UTC" rotary.exe README.md
  WORKING_DIRECTORY ${DIST}/package
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${DIST}/package)

set(sums "")
foreach(name rotary.exe rotary-windows-x64.zip)
  file(SHA256 ${DIST}/${name} hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${DIST}/SHA256SUMS "${sums}")
