# What every target of ours is compiled with, and the include root of each layer.

# Warnings are errors unless the build says otherwise (-DCMAKE_COMPILE_WARNING_AS_ERROR=OFF, or
# `cmake --compile-no-warning-as-error` for one configure): a newer compiler may warn where ours
# does not.
set(CMAKE_COMPILE_WARNING_AS_ERROR ON CACHE BOOL "Make the compiler's warnings errors")

add_library(vantrel_warnings INTERFACE)
target_compile_options(vantrel_warnings INTERFACE -Wall -Wextra
  # g++ 12 reports false -Wrestrict overlaps inside std::string concatenation (GCC bug 105329).
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)

# AddressSanitizer and UndefinedBehaviorSanitizer for the sanitize preset; the fuzz preset adds
# libFuzzer's coverage (each fuzz target links libFuzzer itself).
add_library(vantrel_sanitizers INTERFACE)
if(VANTREL_SANITIZE OR VANTREL_FUZZ)
  target_compile_options(vantrel_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
    $<$<BOOL:${VANTREL_FUZZ}>:-fsanitize=fuzzer-no-link>)
  target_link_options(vantrel_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

# vantrel_settings(TARGET): the warnings and sanitizers, for every target of ours.
function(vantrel_settings target)
  target_link_libraries(${target} PRIVATE vantrel_warnings vantrel_sanitizers)
endfunction()

# vantrel_layer(LAYER): the settings of the library vantrel_LAYER, and its include root: a folder
# of the build holding only a link named LAYER to src/LAYER. Includes stay "LAYER/X.h"; a layer
# sees its own headers and, through what it links, those below it, so that including a header of
# a layer above fails to compile.
function(vantrel_layer layer)
  set(root ${PROJECT_BINARY_DIR}/layers/${layer})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} RESULT failed SYMBOLIC)
  if(NOT failed STREQUAL "0")
    # Windows lets only some users make symbolic links; there every layer sees src/ whole and
    # tests/LayerCheck.cmake alone keeps the direction.
    message(STATUS "no link for the ${layer} layer (${failed}); it is given src/ whole")
    set(root ${PROJECT_SOURCE_DIR}/src)
  endif()
  target_include_directories(vantrel_${layer} PUBLIC ${root})
  vantrel_settings(vantrel_${layer})
endfunction()
