// The executable file itself: a small self-contained 64-bit GUI program
// with the usual hardening and its one manifest, read from the file mapped
// as an image (sections at their addresses), never run.
#include "checks.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

BOOL CALLBACK CountLanguages(HMODULE, LPCWSTR, LPCWSTR, WORD, LONG_PTR count)
{
    return ++*reinterpret_cast<int*>(count), TRUE;
}

BOOL CALLBACK CountManifests(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR count)
{
    return EnumResourceLanguagesW(module, type, name, CountLanguages, count), TRUE;
}

BOOL CALLBACK NoteType(HMODULE, LPWSTR type, LONG_PTR types)
{
    *reinterpret_cast<std::string*>(types) +=
        " " + (IS_INTRESOURCE(type) ? std::to_string(ULONG_PTR(type)) : std::string("named"));
    return TRUE;
}

}  // namespace

void CheckExecutable(const std::wstring& exe)
{
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    GetFileAttributesExW(exe.c_str(), GetFileExInfoStandard, &file);
    const HMODULE image = LoadLibraryExW(
        exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    // The low bits of such a handle say how it was mapped.
    const auto base = reinterpret_cast<const BYTE*>(ULONG_PTR(image) & ~ULONG_PTR(3));
    const auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto nt = image ? reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew)
                          : nullptr;
    if (!CHECK(nt != nullptr && dos->e_magic == IMAGE_DOS_SIGNATURE &&
                   nt->Signature == IMAGE_NT_SIGNATURE &&
                   nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC,
               "executable is a 64-bit PE image", "error %lu", GetLastError())) {
        if (image)
            FreeLibrary(image);
        return;
    }
    // The machine this test was built for, which is the program's too.
#if defined(_M_ARM64) || defined(__aarch64__)
    const WORD machine = IMAGE_FILE_MACHINE_ARM64;
    const char* const machineName = "ARM64";
#else
    const WORD machine = IMAGE_FILE_MACHINE_AMD64;
    const char* const machineName = "x64";
#endif
    const IMAGE_FILE_HEADER& header = nt->FileHeader;
    const IMAGE_OPTIONAL_HEADER64& optional = nt->OptionalHeader;
    CHECK(header.Machine == machine, "built for this build's machine",
          "expected %s (0x%04x), got 0x%04x", machineName, machine, header.Machine);
    CHECK(optional.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI, "GUI subsystem, no console",
          "subsystem %u", optional.Subsystem);
    const WORD hardening = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE |
                           IMAGE_DLLCHARACTERISTICS_NX_COMPAT |
                           IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA;
    const bool relocations = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size != 0 &&
                             !(header.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    CHECK((optional.DllCharacteristics & hardening) == hardening && relocations,
          "ASLR (with relocations), DEP and high-entropy addresses",
          "characteristics 0x%04x, relocations %s", optional.DllCharacteristics,
          relocations ? "yes" : "no");

    std::string unexpected;
    int dlls = 0;
    const DWORD imports = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         imports != 0 && d->Name != 0; ++d, ++dlls) {
        const char* dll = reinterpret_cast<const char*>(base + d->Name);
        bool allowed = _strnicmp(dll, "api-ms-win-crt-", 15) == 0;
        for (const char* system : {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll",
                                   "ucrtbase.dll"})
            allowed = allowed || lstrcmpiA(dll, system) == 0;
        if (!allowed)
            unexpected += std::string(" ") + dll;
    }
    CHECK(dlls > 0 && unexpected.empty(),
          "imports only KERNEL32, USER32, GDI32 and the C runtime", "%d DLLs%s%s", dlls,
          unexpected.empty() ? "" : ", unexpected:", unexpected.c_str());
#if ROTARY_ZERO_TIME_STAMP
    CHECK(header.TimeDateStamp == 0, "no link time stamped in", "0x%08lx", header.TimeDateStamp);
#else
    // This linker writes a hash of the image there instead: not a time,
    // but not zero either.
    std::printf("info: time stamp field 0x%08lx\n", header.TimeDateStamp);
#endif
#if ROTARY_SIZE_LIMIT_KB
    CHECK(file.nFileSizeHigh == 0 && file.nFileSizeLow <= ROTARY_SIZE_LIMIT_KB * 1024UL,
          "within this toolchain's size limit", "%lu bytes, limit %d KB", file.nFileSizeLow,
          ROTARY_SIZE_LIMIT_KB);
#else
    std::printf("info: %lu bytes (a build with symbols: no size limit)\n", file.nFileSizeLow);
#endif

    std::string types;
    int manifests = 0;
    EnumResourceTypesW(image, NoteType, LONG_PTR(&types));
    EnumResourceNamesW(image, RT_MANIFEST, CountManifests, LONG_PTR(&manifests));
    CHECK(types == " 24" && manifests == 1, "the manifest is the only resource, and there is one",
          "resource types:%s; %d manifests", types.c_str(), manifests);
    std::string manifest;
    const HRSRC found = FindResourceExW(image, RT_MANIFEST, MAKEINTRESOURCEW(1),
                                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    const HGLOBAL loaded = found ? LoadResource(image, found) : nullptr;
    if (loaded != nullptr && LockResource(loaded) != nullptr)
        manifest.assign(static_cast<const char*>(LockResource(loaded)),
                        SizeofResource(image, found));
    FreeLibrary(image);
    const auto has = [&](const char* text) { return manifest.find(text) != std::string::npos; };
    CHECK(has("urn:schemas-microsoft-com:asm.v1") && has("manifestVersion=\"1.0\"") &&
              has("level=\"asInvoker\"") && has("uiAccess=\"false\"") &&
              !has("assemblyIdentity") && !has("dependency"),
          "manifest 1 (US English) asks for asInvoker without uiAccess, nothing more",
          "%zu bytes", manifest.size());
}
