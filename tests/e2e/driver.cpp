// End-to-end test of rotary.exe: starts the real program, drives its window
// from outside the way a user and the window manager would, and reads what
// it draws back from the window itself. Runs unchanged on Windows and under
// Wine. Thousands of repaints and what they may leak are the soak's part.
//
// Usage: rotary_e2e [path\to\rotary.exe]   (default: rotary.exe beside it)
#include "checks.h"
#include "image_facts.h"

#include "figure/engine.h"
#include "shell/window.h"

#include <cstdio>
#include <cwchar>

namespace {

// The file itself: a small self-contained 64-bit GUI program with the
// usual hardening and its one manifest.
void CheckExecutable(const std::wstring& exe)
{
    const ImageFacts f = ReadImageFacts(exe);
    if (!Check(f.valid, "executable is a 64-bit PE image"))
        return;
    // The machine this test was built for, which is the program's too.
#if defined(_M_ARM64) || defined(__aarch64__)
    const WORD machine = IMAGE_FILE_MACHINE_ARM64;
    const char* const machineName = "ARM64";
#else
    const WORD machine = IMAGE_FILE_MACHINE_AMD64;
    const char* const machineName = "x64";
#endif
    Check(f.machine == machine, "built for this build's machine",
          "expected %s (0x%04x), got 0x%04x", machineName, machine, f.machine);
    Check(f.subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI, "GUI subsystem, no console",
          "subsystem %u", f.subsystem);
    const WORD hardening = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE |
                           IMAGE_DLLCHARACTERISTICS_NX_COMPAT |
                           IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA;
    Check((f.dllCharacteristics & hardening) == hardening && f.hasRelocations,
          "ASLR (with relocations), DEP and high-entropy addresses",
          "characteristics 0x%04x, relocations %s", f.dllCharacteristics,
          f.hasRelocations ? "yes" : "no");
    std::string unexpected;
    for (const std::string& dll : f.imports) {
        bool allowed = false;
        for (const char* system : {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll",
                                   "ucrtbase.dll"})
            allowed = allowed || lstrcmpiA(dll.c_str(), system) == 0 ||
                      _strnicmp(dll.c_str(), "api-ms-win-crt-", 15) == 0;
        if (!allowed)
            unexpected += " " + dll;
    }
    Check(!f.imports.empty() && unexpected.empty(),
          "imports only KERNEL32, USER32, GDI32 and the C runtime", "%zu DLLs%s%s",
          f.imports.size(), unexpected.empty() ? "" : ", unexpected:", unexpected.c_str());
#if ROTARY_ZERO_TIME_STAMP
    Check(f.timeDateStamp == 0, "no link time stamped in", "0x%08lx", f.timeDateStamp);
#else
    // This linker writes a hash of the image there instead: not a time,
    // but not zero either.
    std::printf("info: time stamp field 0x%08lx\n", f.timeDateStamp);
#endif
#if ROTARY_SIZE_LIMIT_KB
    Check(f.fileSize <= ROTARY_SIZE_LIMIT_KB * 1024UL, "within this toolchain's size limit",
          "%lu bytes, limit %d KB", f.fileSize, ROTARY_SIZE_LIMIT_KB);
#else
    std::printf("info: %lu bytes (a build with symbols: no size limit)\n", f.fileSize);
#endif
    Check(f.resourceTypes.size() == 1 && f.resourceTypes[0] == 24 && f.manifestCount == 1,
          "the manifest is the only resource, and there is one",
          "%zu resource types, %d manifests", f.resourceTypes.size(), f.manifestCount);
    Check(f.manifest.find("urn:schemas-microsoft-com:asm.v1") != std::string::npos &&
              f.manifest.find("manifestVersion=\"1.0\"") != std::string::npos &&
              f.manifest.find("level=\"asInvoker\"") != std::string::npos &&
              f.manifest.find("uiAccess=\"false\"") != std::string::npos &&
              f.manifest.find("assemblyIdentity") == std::string::npos &&
              f.manifest.find("dependency") == std::string::npos,
          "manifest 1 (US English) asks for asInvoker without uiAccess, nothing more",
          "%zu bytes", f.manifest.size());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring exe = ProgramPath(argc, argv);
    std::printf("rotary end-to-end test%s\n", RunningUnderWine() ? " (under Wine)" : "");
    char desktop[160];
    if (!Check(OnVisibleDesktop(desktop, sizeof desktop),
               "runs on a visible desktop in an interactive session (no window shows elsewhere)",
               "%s", desktop))
        return Summary();
    CheckExecutable(exe);

    Program program;
    if (!Check(Start(exe, &program), "program starts and shows a window of class \"rotary\"")) {
        if (program.process.hProcess)
            TerminateProcess(program.process.hProcess, 1);
        return Summary();
    }
    const HWND window = program.window;

    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    Check(std::wcscmp(title, kWindowTitle) == 0, "window title is the Japanese title",
          "got %d characters", int(std::wcslen(title)));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    Check((style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW && (style & WS_VISIBLE),
          "visible overlapped window", "style 0x%08lx", style);
    const ULONG_PTR classStyle = GetClassLongPtrW(window, GCL_STYLE);
    Check(classStyle == (CS_HREDRAW | CS_VREDRAW), "class redraws on any size change",
          "class style 0x%lx", static_cast<unsigned long>(classStyle));

    // 800 x 600, or the largest client the screen's work area holds: the
    // picture, the housing's known pixels, and the animation running.
    const SIZE full = FittingClient(window, 800, 600);
    Check(SetClientSize(window, full.cx, full.cy),
          "client area set to 800x600 or the most that fits", "%ldx%ld", full.cx, full.cy);
    const FrameSet fullFrames = RenderFrames(full.cx, full.cy);
    CheckAnimationGoesOn(window, fullFrames, CheckPicture(window, fullFrames, "at the full size"),
                         "at the full size");

    // Resize: rescaled and recentred at once, and still turning.
    const SIZE smaller = FittingClient(window, 600, 400);
    Check(SetClientSize(window, smaller.cx, smaller.cy),
          "client area set to 600x400 or the most that fits", "%ldx%ld", smaller.cx, smaller.cy);
    const FrameSet smallerFrames = RenderFrames(smaller.cx, smaller.cy);
    CheckAnimationGoesOn(window, smallerFrames,
                         CheckPicture(window, smallerFrames, "after resize"), "after resize");

    // Minimise and restore: the layout comes back with the window, and so
    // does the animation.
    ShowWindow(window, SW_MINIMIZE);
    Check(WaitFor([&] { return IsIconic(window) != FALSE; }, 5000), "window minimises");
    ShowWindow(window, SW_RESTORE);
    Check(WaitFor([&] { return !IsIconic(window) && ClientIs(window, smaller.cx, smaller.cy); },
                  5000),
          "window restores to its size", "%ldx%ld", smaller.cx, smaller.cy);
    CheckAnimationGoesOn(window, smallerFrames,
                         CheckPicture(window, smallerFrames, "after minimise and restore"),
                         "after minimise and restore");

    // Close: the timer stops, the window goes, the process exits with 0.
    const DWORD exitCode = Stop(&program, 5000);
    Check(exitCode == 0, "WM_CLOSE ends the process with exit code 0 within 5 s",
          "exit code %lu%s", exitCode, exitCode == STILL_ACTIVE ? " (still running)" : "");

    return Summary();
}
