# Writes OUT (BUILDINFO): the Debian release that built the release files
# and the exact versions of the installed packages whose contents reach
# their bytes, one `package=version` a line, so that the same environment
# can be installed again with apt-get to rebuild them. Run by the cmake in
# question (-P), with DPKG_QUERY naming dpkg-query.
#
# What reaches the bytes: the compiler and its runtime libraries, binutils
# (assembler, linker, resource compiler), the mingw-w64 headers and CRT;
# CMake, whose modules set the flags and whose libarchive and zlib write
# the zip; make; strip-nondeterminism, which rewrites the zip with
# Archive::Zip. A package not installed here is left out (the library's
# name differs between Debian releases).
set(packages
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix-runtime
  gcc-mingw-w64-base binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev mingw-w64-common
  cmake cmake-data libarchive13 libarchive13t64 zlib1g make
  strip-nondeterminism libfile-stripnondeterminism-perl libarchive-zip-perl)

# The release (12, bookworm), not its point release (12.11): that names
# the base system's last update, and the package versions below already
# say all of the toolchain that it could.
function(os_release key out)
  file(STRINGS /etc/os-release line REGEX "^${key}=")
  string(REGEX REPLACE "^${key}=\"?([^\"]*)\"?$" "\\1" line "${line}")
  set(${out} "${line}" PARENT_SCOPE)
endfunction()
os_release(VERSION_ID version)
os_release(VERSION_CODENAME codename)
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# (dpkg-query fails for the names it does not know, and still lists the
# others; a name it knows but that is not installed shows no "ii".)
execute_process(
  COMMAND ${DPKG_QUERY} -W "-f=\${db:Status-Abbrev}\${binary:Package}=\${Version}\\n" ${packages}
  OUTPUT_VARIABLE listing ERROR_QUIET)
string(REGEX MATCHALL "ii [^\n]+" installed "${listing}")
list(TRANSFORM installed REPLACE "^ii " "")
list(SORT installed)
if(NOT installed)
  message(FATAL_ERROR "buildinfo: dpkg-query listed none of the toolchain's packages")
endif()
list(JOIN installed "\n" lines)
file(WRITE ${OUT} "debian: ${version} (${codename}) ${arch}\n${lines}\n")
