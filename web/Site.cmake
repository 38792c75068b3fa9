# The site (build-web/site/): the page, the compiled demo with its packed
# shaders and font, and the track, which the page streams in an <audio>.

set(SITE_DIR ${CMAKE_BINARY_DIR}/site)
set_target_properties(demo PROPERTIES SUFFIX .js)
# The calls into the page are JavaScript imports, which no archive member
# defines, and rand() must win over the C library's: both are linked into
# the executable itself.
target_sources(demo PRIVATE ${CMAKE_SOURCE_DIR}/src/web/Page.cpp ${CMAKE_SOURCE_DIR}/src/web/GnuRand.cpp
  ${CMAKE_SOURCE_DIR}/src/web/PageLive.cpp)
target_link_options(demo PRIVATE -sENVIRONMENT=web -sEXPORTED_RUNTIME_METHODS=callMain,ccall
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/shaders@shaders"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/tracks@tracks"
  "SHELL:--preload-file ${FONT_SOURCE}@fonts/arial.ttf")
set_property(TARGET demo APPEND PROPERTY LINK_DEPENDS ${FONT_SOURCE})
file(GLOB shader_files ${CMAKE_SOURCE_DIR}/shaders/*)
set_property(TARGET demo APPEND PROPERTY LINK_DEPENDS ${shader_files})

# Live mode's editor (?live): Debian's CodeMirror 5 with its C-like modes
# (GLSL), search and dialog, copied in so that the site stays self-contained.
set(CODEMIRROR_DIR /usr/share/javascript/codemirror)
if(NOT EXISTS ${CODEMIRROR_DIR}/lib/codemirror.js)
  message(FATAL_ERROR "CodeMirror is missing: install Debian's libjs-codemirror (scripts/web does)")
endif()
set(CODEMIRROR_FILES lib/codemirror.js lib/codemirror.css mode/clike/clike.js
  addon/search/search.js addon/search/searchcursor.js addon/dialog/dialog.js
  addon/dialog/dialog.css)
list(TRANSFORM CODEMIRROR_FILES PREPEND ${CODEMIRROR_DIR}/ OUTPUT_VARIABLE codemirror_sources)
set(LIVE_PAGE_FILES ${CMAKE_SOURCE_DIR}/web/live.js ${CMAKE_SOURCE_DIR}/web/live.css)

# The page takes the show's length from the header the demo is built with.
set(SHOW_LENGTH_HEADER ${CMAKE_SOURCE_DIR}/include/ShowLength.h)
file(STRINGS ${SHOW_LENGTH_HEADER} show_line REGEX "show_seconds = [0-9.]+")
string(REGEX REPLACE ".*show_seconds = ([0-9.]+).*" "\\1" SHOW_SECONDS "${show_line}")
if(NOT SHOW_SECONDS)
  message(FATAL_ERROR "No show_seconds in ${SHOW_LENGTH_HEADER}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SHOW_LENGTH_HEADER})
configure_file(${CMAKE_SOURCE_DIR}/web/index.html ${CMAKE_BINARY_DIR}/index.html @ONLY)

add_custom_target(site ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SITE_DIR}/codemirror
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_BINARY_DIR}/index.html
          ${LIVE_PAGE_FILES} ${RUN_DIR}/demo.js ${RUN_DIR}/demo.wasm ${RUN_DIR}/demo.data
          ${CMAKE_SOURCE_DIR}/assets/kelvarra.mp3 ${SITE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${codemirror_sources} ${SITE_DIR}/codemirror
  # The files live mode opens in its editor, as the site ships them.
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/shaders ${SITE_DIR}/shaders
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/tracks ${SITE_DIR}/tracks
  DEPENDS demo ${CMAKE_BINARY_DIR}/index.html ${LIVE_PAGE_FILES}
  COMMENT "Laying out the site")
