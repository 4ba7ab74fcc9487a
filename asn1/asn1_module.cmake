# kelvad_asn1_module(<target> MODULE <name> SOURCES <file.asn> [<file.cpp> ...]
#                    [DEPS <targets of imported modules> ...])
#
# Compiles the ASN.1 module <name> (defined in the one .asn file among
# SOURCES) into <name>.h and <name>.cpp in the current binary folder and builds
# them, with any other SOURCES, into the static library <target>. The header
# is included as "<folder>/<name>.h", where <folder> is the current source
# folder relative to the repository root (e.g. "protocol/lgcp/LGCP.h").
# DEPS names the targets of the modules this one imports from; their headers
# are included by the generated header. The code is regenerated whenever the
# .asn file or the compiler changes, and is never committed.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
# Cached, so that the folders that call the function see them too.
set(KELVAD_ASN1C_DIR ${CMAKE_CURRENT_LIST_DIR}/compiler CACHE INTERNAL "")
set(KELVAD_PYTHON ${Python3_EXECUTABLE} CACHE INTERNAL "")

function(kelvad_asn1_module target)
  cmake_parse_arguments(ARG "" "MODULE" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_MODULE)
    message(FATAL_ERROR "kelvad_asn1_module(${target}): MODULE is required")
  endif()
  set(asn_files)
  set(other_sources)
  foreach(src IN LISTS ARG_SOURCES)
    if(src MATCHES "\\.asn1?$")
      list(APPEND asn_files ${src})
    else()
      list(APPEND other_sources ${src})
    endif()
  endforeach()
  list(LENGTH asn_files count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "kelvad_asn1_module(${target}): SOURCES must hold exactly one .asn file")
  endif()
  get_filename_component(asn_file ${asn_files} ABSOLUTE)

  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(header_path ${folder}/${ARG_MODULE}.h)
  set(out_h ${CMAKE_CURRENT_BINARY_DIR}/${ARG_MODULE}.h)
  set(out_cpp ${CMAKE_CURRENT_BINARY_DIR}/${ARG_MODULE}.cpp)
  set(import_args)
  foreach(dep IN LISTS ARG_DEPS)
    list(APPEND import_args
      "--import=$<TARGET_PROPERTY:${dep},KELVAD_ASN1_MODULE>=$<TARGET_PROPERTY:${dep},KELVAD_ASN1_HEADER>")
  endforeach()
  file(GLOB compiler_sources ${KELVAD_ASN1C_DIR}/*.py)
  add_custom_command(
    OUTPUT ${out_h} ${out_cpp}
    COMMAND ${KELVAD_PYTHON} ${KELVAD_ASN1C_DIR}/kelvad_asn1c.py
            --module ${ARG_MODULE} --header ${header_path}
            --out-dir ${CMAKE_CURRENT_BINARY_DIR} ${import_args} ${asn_file}
    DEPENDS ${asn_file} ${compiler_sources}
    COMMENT "ASN.1 module ${ARG_MODULE}"
    VERBATIM)

  add_library(${target} STATIC ${out_cpp} ${other_sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
  target_link_libraries(${target} PUBLIC kelvad_asn1 ${ARG_DEPS})
  set_target_properties(${target} PROPERTIES
    KELVAD_ASN1_MODULE ${ARG_MODULE}
    KELVAD_ASN1_HEADER ${header_path})
endfunction()
