# Windows programs around rotary.exe that are not tests: the preview
# recorder behind `make run` on a machine without a display, and the probe
# behind `make bench`.
add_executable(rotary_preview ${CMAKE_CURRENT_LIST_DIR}/preview.cpp)
target_link_libraries(rotary_preview PRIVATE window_harness)
add_dependencies(rotary_preview dist)

add_executable(rotary_probe ${CMAKE_CURRENT_LIST_DIR}/probe.cpp)
target_link_libraries(rotary_probe PRIVATE window_harness)
add_dependencies(rotary_probe dist)
