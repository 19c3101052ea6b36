# The web page (web/, built with Debian's emscripten by tools/build-web.sh)
# and its two tests: its pixels against GDI's under Wine, and the page in
# a real browser (Debian's chromium, headless).
add_executable(gdi_reference ${CMAKE_CURRENT_LIST_DIR}/gdi_reference.cpp ${FIGURE_SOURCES})
target_include_directories(gdi_reference PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(gdi_reference PRIVATE gdi32)
target_link_options(gdi_reference PRIVATE -static)

set(web_page ${CMAKE_BINARY_DIR}/web)
add_custom_target(web_page ALL
  COMMAND ${PROJECT_SOURCE_DIR}/tools/build-web.sh ${web_page}
  COMMENT "The web page, in ${web_page}"
  VERBATIM)

find_program(NODE node REQUIRED)
add_test(NAME web_pixels
  COMMAND ${NODE} ${CMAKE_CURRENT_LIST_DIR}/pixel_proof.mjs ${web_page}/rotary.wasm
          $<TARGET_FILE:gdi_reference> ${PROJECT_SOURCE_DIR}/tools/wine-run.sh
          ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(web_pixels PROPERTIES TIMEOUT 600)
