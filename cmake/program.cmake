# rotary.exe: a GUI-subsystem program that needs nothing beside it.
enable_language(RC)

add_executable(rotary WIN32 ${FIGURE_SOURCES} ${SHELL_SOURCES}
               ${PROJECT_SOURCE_DIR}/res/rotary.rc)
target_include_directories(rotary PRIVATE ${PROJECT_SOURCE_DIR})
# Wide-character window interfaces throughout (IDC_ARROW among them).
target_compile_definitions(rotary PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(rotary PRIVATE user32 gdi32)

if(MSVC)
  # Static C runtime; the resource script's manifest must be the only one.
  set_property(TARGET rotary PROPERTY MSVC_RUNTIME_LIBRARY MultiThreaded)
  target_link_options(rotary PRIVATE /MANIFEST:NO /DYNAMICBASE /NXCOMPAT /HIGHENTROPYVA)
else()
  # No MinGW DLLs beside the program; ASLR (with relocations), DEP and
  # high-entropy addresses on.
  target_link_options(rotary PRIVATE -static -static-libgcc -static-libstdc++
                      -Wl,--dynamicbase,--nxcompat,--high-entropy-va)
endif()
