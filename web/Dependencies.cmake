# The browser build's dependencies, in place of the native ones: emscripten's
# GLFW on a WebGL 2 context, FreeType compiled with emscripten (scripts/web
# builds it from Debian's source package), GLM's headers from the system.

set(WEB_FREETYPE_DIR "" CACHE PATH "FreeType installed by an emscripten build (scripts/web)")
if(NOT EXISTS ${WEB_FREETYPE_DIR}/lib/libfreetype.a)
  message(FATAL_ERROR "WEB_FREETYPE_DIR must name FreeType built with emscripten: run scripts/web")
endif()
add_library(Freetype::Freetype STATIC IMPORTED)
set_target_properties(Freetype::Freetype PROPERTIES
  IMPORTED_LOCATION ${WEB_FREETYPE_DIR}/lib/libfreetype.a
  INTERFACE_INCLUDE_DIRECTORIES ${WEB_FREETYPE_DIR}/include/freetype2)

# GLM is headers only; a folder with a link to them keeps the rest of the
# system's headers out of the compiler's search path.
find_path(GLM_HEADERS glm/glm.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(WEB_INCLUDE_DIR ${CMAKE_BINARY_DIR}/web-include)
file(MAKE_DIRECTORY ${WEB_INCLUDE_DIR})
file(CREATE_LINK ${GLM_HEADERS}/glm ${WEB_INCLUDE_DIR}/glm SYMBOLIC)
add_library(glm::glm INTERFACE IMPORTED)
set_target_properties(glm::glm PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${WEB_INCLUDE_DIR})

add_library(web_gl INTERFACE)
target_link_options(web_gl INTERFACE -sUSE_GLFW=3 -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
  -sALLOW_MEMORY_GROWTH=1)
