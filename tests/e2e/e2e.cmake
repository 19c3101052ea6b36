# The end-to-end driver: a Windows console program that starts rotary.exe
# and checks its window and pixels. Under cross-compilation ctest runs it
# through Wine (the toolchain's emulator); on Windows it runs directly.
add_executable(rotary_e2e ${CMAKE_CURRENT_LIST_DIR}/driver.cpp ${FIGURE_SOURCES})
target_include_directories(rotary_e2e PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(rotary_e2e PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(rotary_e2e PRIVATE user32 gdi32)
if(MINGW)
  target_link_options(rotary_e2e PRIVATE -municode -static)
endif()
add_dependencies(rotary_e2e rotary)

add_test(NAME end_to_end COMMAND rotary_e2e $<TARGET_FILE:rotary>)
set_tests_properties(end_to_end PROPERTIES TIMEOUT 600)
