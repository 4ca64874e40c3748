# The web build (emscripten; scripts/build-web.sh): the calculation layers
# as WebAssembly for the page in web/. The page runs the counts in one Web
# Worker, so the engines take their one-thread paths (VKX_ONE_THREAD); the
# digits of huge counts come from the program's own extended-range numbers
# instead of GMP; the counts' control flow (a stopped count, a diagram past
# its budget) needs C++ exceptions, which emscripten leaves off by default.
set(VKX_GMP OFF)
set(VKX_BENCH OFF)
add_compile_definitions(VKX_ONE_THREAD=1)
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# nlohmann-json is a header library of the system: its folder alone goes on
# the include path, not the system's headers beside it.
find_path(VKX_JSON_DIR nlohmann/json.hpp PATHS /usr/include /usr/local/include
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/include)
file(CREATE_LINK ${VKX_JSON_DIR}/nlohmann ${CMAKE_BINARY_DIR}/include/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/include)
add_library(Threads::Threads INTERFACE IMPORTED)
