# vantrel_header_library(TARGET HEADER...): an interface library TARGET through which Debian's copy
# of each header-only library (named by one of its headers, e.g. CLI/CLI.hpp) is included.
# Those copies serve any target; when cross-compiling they are seen through a folder of their own,
# so that none of the host's other headers can stand in for the target's.
function(vantrel_header_library target)
  add_library(${target} INTERFACE)
  set(folder ${CMAKE_BINARY_DIR}/${target}-include)
  foreach(header ${ARGN})
    get_filename_component(name ${header} DIRECTORY)
    if(CMAKE_CROSSCOMPILING)
      find_path(${name}_HOST_INCLUDE_DIR ${header} NO_CMAKE_FIND_ROOT_PATH REQUIRED)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${${name}_HOST_INCLUDE_DIR}/${name} ${folder}/${name} SYMBOLIC)
      target_include_directories(${target} INTERFACE ${folder})
    else()
      find_path(${name}_INCLUDE_DIR ${header} REQUIRED)
      target_include_directories(${target} INTERFACE ${${name}_INCLUDE_DIR})
    endif()
  endforeach()
endfunction()
