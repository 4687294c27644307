# Compiler settings shared by every target of the project.

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                      -Woverloaded-virtual -Wformat=2)
  if(ORVEL_WERROR)
    add_compile_options(-Werror)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports -Wrestrict inside std::string concatenation at -O2 and above (a false
    # positive of its own headers).
    add_compile_options(-Wno-restrict)
  endif()
endif()

if(ORVEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -O1)
  add_link_options(-fsanitize=address,undefined)
endif()

if(ORVEL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ORVEL_FUZZ needs clang (libFuzzer)")
  endif()
  # Coverage instrumentation everywhere, the fuzzer's own main only in the fuzz targets.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# orvel_layer(<target> <folder under src> [libraries...])
# One static library per layer, built from the .cpp files of its folder (not its subfolders); the
# programs' entry files (main.cpp, main_<program>.cpp) stay out of it. Windows live under ui/ and
# go into the widgets library, so that the logic libraries never link Qt Widgets.
function(orvel_layer target folder)
  file(GLOB sources CONFIGURE_DEPENDS
       "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp"
       "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h")
  list(FILTER sources EXCLUDE REGEX "/main(_[^/]*)?\\.cpp$")
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  if(sources)
    file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h")
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
    target_link_libraries(${target} PUBLIC ${ARGN})
  else()
    # A layer without code yet: an interface library, so that its users link already.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE "${CMAKE_CURRENT_SOURCE_DIR}")
    target_link_libraries(${target} INTERFACE ${ARGN})
  endif()
endfunction()
