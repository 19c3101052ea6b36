# The web page (web/, built by tools/build-web.sh with Debian's emscripten)
# and its two tests: its pixels against GDI's under Wine, and the page in
# Debian's chromium. Without those tools the program still builds (for
# `make run` and `make dist`), and the web tests fail, saying what is missing.
add_executable(gdi_reference ${CMAKE_CURRENT_LIST_DIR}/gdi_reference.cpp)
target_link_libraries(gdi_reference PRIVATE window_harness)

find_program(EMCC emcc)
find_program(NODE node)
find_program(NPM npm)
if(NOT EMCC OR NOT NODE OR NOT NPM OR NOT EXISTS /usr/bin/chromium)
  add_test(NAME web_tests COMMAND sh -c "echo 'web tests: emscripten, nodejs, npm and \
chromium are needed (make test installs them)' >&2; exit 1")
  return()
endif()

set(web_page ${CMAKE_BINARY_DIR}/web)
file(GLOB web_sources ${PROJECT_SOURCE_DIR}/web/*)
add_custom_command(OUTPUT ${web_page}/rotary.wasm ${web_page}/index.html ${web_page}/page.js
  COMMAND ${PROJECT_SOURCE_DIR}/tools/build-web.sh ${web_page}
  DEPENDS ${FIGURE_SOURCES} ${PROJECT_SOURCE_DIR}/figure/engine.h ${PROJECT_SOURCE_DIR}/figure/pixel.h
          ${web_sources} ${PROJECT_SOURCE_DIR}/tools/build-web.sh
  COMMENT "The web page, in ${web_page}"
  VERBATIM)
add_custom_target(web_page ALL DEPENDS ${web_page}/rotary.wasm)

add_test(NAME web_pixels
  COMMAND ${NODE} ${CMAKE_CURRENT_LIST_DIR}/pixel_proof.mjs ${web_page}/rotary.wasm
          $<TARGET_FILE:gdi_reference> ${PROJECT_SOURCE_DIR}/tools/wine-run.sh
          ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(web_pixels PROPERTIES TIMEOUT 600)

# The browser driver, at the versions tools/browser/package-lock.json pins.
add_test(NAME web_browser_driver COMMAND ${NPM} ci --prefix ${PROJECT_SOURCE_DIR}/tools/browser
                                         --no-audit --no-fund --loglevel=error)
set_tests_properties(web_browser_driver PROPERTIES FIXTURES_SETUP browser_driver)
add_test(NAME web_browser COMMAND ${NODE} ${CMAKE_CURRENT_LIST_DIR}/browser_test.mjs ${web_page}
                                  ${PROJECT_SOURCE_DIR}/tools/browser)
set_tests_properties(web_browser PROPERTIES FIXTURES_REQUIRED browser_driver TIMEOUT 300)
