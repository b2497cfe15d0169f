# quarn_add_module(NAME <name> SOURCES <files...>)
#
# A vessel module: a shared library named exactly <name> (<name>.so, <name>.dll) that exports
# only its four entry points. It carries its own copy of the module frame and sees the host
# through quarn_host; add further libraries with target_link_libraries(<name> PRIVATE ...).

set(QUARN_MODULE_MAP ${CMAKE_CURRENT_LIST_DIR}/module.map)

function(quarn_add_module)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "NAME" "SOURCES")
  if(NOT ARG_NAME OR NOT ARG_SOURCES)
    message(FATAL_ERROR "quarn_add_module: NAME and SOURCES are required")
  endif()
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "quarn_add_module(${ARG_NAME}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()

  add_library(${ARG_NAME} SHARED ${ARG_SOURCES})
  # the host loads modules by class-file name, so the file name is the bare module name
  if(WIN32)
    set(suffix .dll)
  else()
    set(suffix .so)
  endif()
  set_target_properties(${ARG_NAME} PROPERTIES
    PREFIX ""
    SUFFIX ${suffix}
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    POSITION_INDEPENDENT_CODE ON
    # a DLL is a runtime artifact; keep modules in lib/ there too
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
  # As an archive the frame is linked whole: nothing in the module calls the entry points.
  set(frame quarn_frame)
  if(TARGET quarn_frame)
    get_target_property(frame_type quarn_frame TYPE)
    if(frame_type STREQUAL "STATIC_LIBRARY")
      set(frame "$<LINK_LIBRARY:WHOLE_ARCHIVE,quarn_frame>")
    endif()
  endif()
  target_link_libraries(${ARG_NAME} PRIVATE ${frame} quarn_host)

  if(NOT WIN32 AND NOT APPLE)
    # the version script hides whatever the frame or a static dependency would leak
    target_link_options(${ARG_NAME} PRIVATE -Wl,--version-script=${QUARN_MODULE_MAP})
    set_property(TARGET ${ARG_NAME} APPEND PROPERTY LINK_DEPENDS ${QUARN_MODULE_MAP})
    # clang leaves the sanitizer runtime to the executable, so its symbols are undefined in a
    # sanitized shared library; -z defs would refuse that
    if(NOT (CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND QUARN_SANITIZED))
      target_link_options(${ARG_NAME} PRIVATE -Wl,-z,defs)
    endif()
  endif()
endfunction()
