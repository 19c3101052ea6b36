#include "image_facts.h"

#include <cstddef>
#include <cstring>

namespace {

std::vector<unsigned char> ReadFileBytes(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart < (64 << 20)) {
        bytes.resize(size_t(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr) ||
            read != bytes.size())
            bytes.clear();
    }
    CloseHandle(file);
    return bytes;
}

template <typename T>
bool At(const std::vector<unsigned char>& bytes, size_t offset, T* value)
{
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        return false;
    std::memcpy(value, bytes.data() + offset, sizeof(T));
    return true;
}

// File offset of a relative virtual address, through the section table.
bool OffsetOf(const std::vector<IMAGE_SECTION_HEADER>& sections, DWORD rva, size_t* offset)
{
    for (const IMAGE_SECTION_HEADER& s : sections)
        if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
            *offset = size_t(rva - s.VirtualAddress) + s.PointerToRawData;
            return true;
        }
    return false;
}

void ReadImports(const std::vector<unsigned char>& bytes,
                 const std::vector<IMAGE_SECTION_HEADER>& sections, DWORD rva, ImageFacts* facts)
{
    size_t offset = 0;
    if (rva == 0 || !OffsetOf(sections, rva, &offset))
        return;
    for (IMAGE_IMPORT_DESCRIPTOR d; At(bytes, offset, &d) && d.Name != 0; offset += sizeof d) {
        size_t name = 0;
        if (!OffsetOf(sections, d.Name, &name))
            return;
        std::string dll;
        while (name < bytes.size() && bytes[name] != 0 && dll.size() < 256)
            dll += char(bytes[name++]);
        facts->imports.push_back(dll);
    }
}

BOOL CALLBACK CountManifests(HMODULE, LPCWSTR, LPCWSTR, WORD, LONG_PTR count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountManifestNames(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR count)
{
    EnumResourceLanguagesW(module, type, name, CountManifests, count);
    return TRUE;
}

BOOL CALLBACK NoteType(HMODULE, LPWSTR type, LONG_PTR types)
{
    reinterpret_cast<std::vector<ULONG_PTR>*>(types)->push_back(
        IS_INTRESOURCE(type) ? ULONG_PTR(type) : 0);
    return TRUE;
}

void ReadResources(const std::wstring& path, ImageFacts* facts)
{
    const HMODULE image = LoadLibraryExW(
        path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr)
        return;
    EnumResourceTypesW(image, NoteType, LONG_PTR(&facts->resourceTypes));
    EnumResourceNamesW(image, RT_MANIFEST, CountManifestNames, LONG_PTR(&facts->manifestCount));
    const HRSRC found = FindResourceExW(image, RT_MANIFEST, MAKEINTRESOURCEW(1),
                                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (found != nullptr) {
        const HGLOBAL loaded = LoadResource(image, found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (data != nullptr)
            facts->manifest.assign(static_cast<const char*>(data), SizeofResource(image, found));
    }
    FreeLibrary(image);
}

}  // namespace

ImageFacts ReadImageFacts(const std::wstring& path)
{
    ImageFacts facts;
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS64 nt;
    if (!At(bytes, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        !At(bytes, size_t(dos.e_lfanew), &nt) || nt.Signature != IMAGE_NT_SIGNATURE ||
        nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return facts;
    facts.fileSize = DWORD(bytes.size());
    facts.machine = nt.FileHeader.Machine;
    facts.subsystem = nt.OptionalHeader.Subsystem;
    facts.dllCharacteristics = nt.OptionalHeader.DllCharacteristics;
    facts.timeDateStamp = nt.FileHeader.TimeDateStamp;
    const IMAGE_DATA_DIRECTORY* dirs = nt.OptionalHeader.DataDirectory;
    facts.hasRelocations = dirs[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size != 0 &&
                           !(nt.FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);

    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    const size_t first = size_t(dos.e_lfanew) + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                         nt.FileHeader.SizeOfOptionalHeader;
    for (size_t k = 0; k < sections.size(); ++k)
        if (!At(bytes, first + k * sizeof(IMAGE_SECTION_HEADER), &sections[k]))
            return facts;
    ReadImports(bytes, sections, dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress, &facts);
    ReadResources(path, &facts);
    facts.valid = true;
    return facts;
}
