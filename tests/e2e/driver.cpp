// End-to-end test of rotary.exe: starts the real program, drives its window
// from outside the way a user and the window manager would, and reads what
// it draws back from the screen. Runs unchanged on Windows and under Wine.
//
// Usage: rotary_e2e [path\to\rotary.exe]   (default: rotary.exe beside it)
#include "image_facts.h"
#include "remote.h"

#include "figure/engine.h"
#include "shell/window.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

namespace {

int passed = 0;
int failed = 0;

// One check: prints what was expected and what was seen.
bool Check(bool ok, const char* what, const char* format = "", ...)
{
    char detail[512] = "";
    va_list args;
    va_start(args, format);
    std::vsnprintf(detail, sizeof detail, format, args);
    va_end(args);
    std::printf("%s: %s%s%s\n", ok ? "ok" : "FAIL", what, *detail ? ": " : "", detail);
    std::fflush(stdout);
    (ok ? passed : failed) += 1;
    return ok;
}

bool IsGreen(const Picture& p, int x, int y) { return p.At(x, y) == kGreen; }

// The program's picture at a client size: exactly one of its 61 frames,
// the housing's ends where they belong, the colours right.
void CheckPicture(HWND window, int width, int height, const char* when)
{
    Picture seen;
    const int frame = WaitForExactFrame(window, width, height, &seen);
    Check(frame >= 0, "screen equals one frame of the figure, pixel for pixel", "%s, %dx%d: frame %d",
          when, width, height, frame);
    if (seen.width != width || seen.height != height) {
        Check(false, "capture size", "expected %dx%d, got %dx%d", width, height, seen.width,
              seen.height);
        return;
    }
    const Census c = CountColours(seen);
    Check(c.other == 0 && c.white > long(width) * height * 8 / 10 && c.green > 0 && c.red > 0,
          "white background, green and red lines, nothing else",
          "%s: white %ld, green %ld, red %ld, other %ld", when, c.white, c.green, c.red, c.other);

    // Housing: top and bottom at R + e from the centre.
    RECT all = {0, 0, width, height};
    const EngineState saved = engineState;
    UpdateEngineLayout(all);
    const int reach = engineState.generatingRadius + engineState.eccentricity;
    const int waist = engineState.generatingRadius - engineState.eccentricity;
    engineState = saved;
    const int cx = width / 2, cy = height / 2;
    Check(c.redBox.left >= cx - reach && c.redBox.right <= cx + reach &&
              c.redBox.top >= cy - reach && c.redBox.bottom <= cy + reach,
          "red rotor and gears inside the housing", "%s: red box (%ld,%ld)-(%ld,%ld), housing reach %d",
          when, c.redBox.left, c.redBox.top, c.redBox.right, c.redBox.bottom, reach);
    // The rotor may pass over the housing's ends, so wait for a frame that
    // leaves each one visible.
    const POINT ends[] = {{cx, cy - reach}, {cx, cy + reach}, {cx - waist - 1, cy}, {cx + waist, cy - 1}};
    for (const POINT end : ends) {
        bool green = false;
        WaitFor([&] { return green = IsGreen(CaptureClient(window), end.x, end.y); }, 3000);
        Check(green, "housing drawn in green", "%s: (%ld, %ld)", when, end.x, end.y);
    }
}

// The file itself: a small self-contained 64-bit GUI program with the
// usual hardening and its one manifest.
void CheckExecutable(const std::wstring& exe)
{
    const ImageFacts f = ReadImageFacts(exe);
    if (!Check(f.valid, "executable is a 64-bit PE image"))
        return;
    Check(f.machine == IMAGE_FILE_MACHINE_AMD64, "built for x64", "machine 0x%04x", f.machine);
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
    Check(f.timeDateStamp == 0, "no link time stamped in", "0x%08lx", f.timeDateStamp);
    Check(f.fileSize <= 32 * 1024, "at most 32 KB", "%lu bytes", f.fileSize);
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
    CheckExecutable(exe);

    Program program;
    if (!Check(Start(exe, &program), "program starts and shows a window of class \"rotary\"")) {
        if (program.process.hProcess)
            TerminateProcess(program.process.hProcess, 1);
        std::printf("%d passed, %d failed\n", passed, failed);
        return 1;
    }
    const HWND window = program.window;
    const HANDLE process = program.process.hProcess;

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

    // 800 x 600: the picture, the housing's known pixels, the side points.
    Check(SetClientSize(window, 800, 600), "client area set to 800x600");
    CheckPicture(window, 800, 600, "at 800x600");
    const Picture still = CaptureClient(window);
    Check(!IsGreen(still, 200, 300) && !IsGreen(still, 600, 300), "housing side points stay unlit");

    // The animation runs by itself.
    Picture first = CaptureClient(window);
    Sleep(300);
    Picture second = CaptureClient(window);
    long changed = 0;
    for (size_t k = 0; k < first.pixels.size() && k < second.pixels.size(); ++k)
        changed += (first.pixels[k] == kRed) != (second.pixels[k] == kRed);
    Check(changed > 0, "red pixels change between reads 300 ms apart", "%ld pixels changed", changed);

    // Resize: rescaled and recentred at once.
    Check(SetClientSize(window, 600, 400), "client area set to 600x400");
    CheckPicture(window, 600, 400, "after resize to 600x400");

    // Minimise and restore: the layout comes back with the window.
    ShowWindow(window, SW_MINIMIZE);
    Check(WaitFor([&] { return IsIconic(window) != FALSE; }, 5000), "window minimises");
    ShowWindow(window, SW_RESTORE);
    Check(WaitFor([&] { return !IsIconic(window) && ClientIs(window, 600, 400); }, 5000),
          "window restores to 600x400");
    CheckPicture(window, 600, 400, "after minimise and restore");

    // Many forced repaints: a pen leaked per paint would run the process
    // out of GDI objects (10,000 on Windows) and the colours would go.
    Check(SetClientSize(window, 800, 600), "client area set to 800x600 again");
    const long objectsBefore = GdiObjectCount(process);
    const int repaints = 12500;
    const ULONGLONG started = GetTickCount64();
    for (int k = 0; k < repaints; ++k)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const ULONGLONG took = GetTickCount64() - started;
    std::printf("info: %d forced repaints in %llu ms\n", repaints, took);
    CheckPicture(window, 800, 600, "after 12500 forced repaints");
    const long objectsAfter = GdiObjectCount(process);
    Check(objectsBefore > 0 && objectsAfter > 0 && objectsAfter <= objectsBefore + 8,
          "GDI objects do not grow with painting", "before %ld, after %ld", objectsBefore,
          objectsAfter);

    // Close: the timer stops, the window goes, the process exits with 0.
    const DWORD exitCode = Stop(&program, 5000);
    Check(exitCode == 0, "WM_CLOSE ends the process with exit code 0 within 5 s",
          "exit code %lu%s", exitCode, exitCode == STILL_ACTIVE ? " (still running)" : "");

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
