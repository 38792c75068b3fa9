# The site (build-web/site/): the page, the compiled demo with its packed
# shaders and font, and the track, which the page streams in an <audio>.

set(SITE_DIR ${CMAKE_BINARY_DIR}/site)
set_target_properties(demo PROPERTIES SUFFIX .js)
# The calls into the page are JavaScript imports, which no archive member
# defines, and rand() must win over the C library's: both are linked into
# the executable itself.
target_sources(demo PRIVATE ${CMAKE_SOURCE_DIR}/src/web/Page.cpp ${CMAKE_SOURCE_DIR}/src/web/GnuRand.cpp)
target_link_options(demo PRIVATE -sENVIRONMENT=web -sEXPORTED_RUNTIME_METHODS=callMain
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/shaders@shaders"
  "SHELL:--preload-file ${FONT_SOURCE}@fonts/arial.ttf")
set_property(TARGET demo APPEND PROPERTY LINK_DEPENDS ${FONT_SOURCE})
file(GLOB shader_files ${CMAKE_SOURCE_DIR}/shaders/*)
set_property(TARGET demo APPEND PROPERTY LINK_DEPENDS ${shader_files})

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
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SITE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_BINARY_DIR}/index.html
          ${RUN_DIR}/demo.js ${RUN_DIR}/demo.wasm ${RUN_DIR}/demo.data
          ${CMAKE_SOURCE_DIR}/assets/kelvarra.mp3 ${SITE_DIR}
  DEPENDS demo ${CMAKE_BINARY_DIR}/index.html
  COMMENT "Laying out the site")
