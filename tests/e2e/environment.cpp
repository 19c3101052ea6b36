#include "environment.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool OnVisibleDesktop(const char* test)
{
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    USEROBJECTFLAGS flags = {};
    wchar_t station[64] = L"?";
    const HWINSTA own = GetProcessWindowStation();
    const bool known = GetUserObjectInformationW(own, UOI_FLAGS, &flags, sizeof flags, nullptr);
    GetUserObjectInformationW(own, UOI_NAME, station, sizeof station, nullptr);
    const bool visible = known && (flags.dwFlags & WSF_VISIBLE) != 0;
    const HDESK input = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (input != nullptr)
        CloseDesktop(input);
    const bool desktop = session != 0 && visible && input != nullptr;
    std::printf("%s%s: session %lu, window station %ls (%s), input desktop %s, screen %dx%d\n%s",
                test, RunningUnderWine() ? " (under Wine)" : "", session, station,
                !known ? "flags unknown" : visible ? "visible" : "not visible",
                input != nullptr ? "open" : "not open", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN),
                desktop ? "" : "no interactive desktop: window tests not run\n");
    std::fflush(stdout);
    return desktop;
}

void DescribeWindow(HWND window)
{
    RECT outer = {}, client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    std::printf("info: the program's window: a frame of %ldx%ld round the client, %u DPI; "
                "smallest window %dx%d\n", outer.right - outer.left - client.right,
                outer.bottom - outer.top - client.bottom, GetDpiForWindow(window),
                GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK));
}

// Wine's GetGuiResources answers 0 for everything, but Wine keeps a GDI
// handle table per process, published in its PEB as Windows does, and the
// entries in use can be counted from outside.
static long WineGdiHandlesInUse(HANDLE process)
{
    typedef NTSTATUS(NTAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    const size_t kGdiSharedHandleTable = 0xF8;  // in the 64-bit PEB
    UINT64 table = 0;
    if (query == nullptr ||
        query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) +
                                        kGdiSharedHandleTable, &table, sizeof table, nullptr) ||
        table == 0)
        return -1;
    struct Entry {  // GDI_HANDLE_ENTRY, 24 bytes
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type;  // 0 while the slot is free
        UCHAR flags;
        UINT64 user;
    };
    std::vector<Entry> entries(0x10000);
    SIZE_T read = 0;
    ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                      entries.size() * sizeof(Entry), &read);
    long inUse = 0;
    for (size_t k = 0; k < read / sizeof(Entry); ++k)
        if (entries[k].type != 0)
            ++inUse;
    return read == 0 ? -1 : inUse;
}

long GdiObjectCount(HANDLE process)
{
    if (RunningUnderWine())
        return WineGdiHandlesInUse(process);
    // No GDI objects in use is a count too: only 0 with an error set means
    // the count could not be had.
    SetLastError(ERROR_SUCCESS);
    const DWORD count = GetGuiResources(process, GR_GDIOBJECTS);
    return count != 0 || GetLastError() == ERROR_SUCCESS ? long(count) : -1;
}

// Private bytes, which, unlike the working set, Windows does not trim while
// the window is minimised. Wine answers 0 for PrivateUsage but keeps the
// commit charge in PagefileUsage, which Windows fills with the same value.
SIZE_T PrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    if (!K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters))
        return 0;
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}
