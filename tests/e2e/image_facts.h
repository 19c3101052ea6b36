// What the executable file itself says: its PE headers, imports and
// resources, read without running it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ImageFacts {
    bool valid = false;
    DWORD fileSize = 0;
    WORD machine = 0;
    WORD subsystem = 0;
    WORD dllCharacteristics = 0;
    DWORD timeDateStamp = 0;
    bool hasRelocations = false;
    std::vector<std::string> imports;      // DLL names as written
    std::vector<ULONG_PTR> resourceTypes;  // integer types; strings as 0
    std::string manifest;                  // RT_MANIFEST 1, US English
    int manifestCount = 0;                 // manifests of any id or language
};

ImageFacts ReadImageFacts(const std::wstring& path);
