# vx_embed_resources(<library> <files>...)
# Embeds the files as named resources (name = file name without extension,
# upper case) into every program that links <library>: the generated table
# is an interface source of the library, so its self-registration is part of
# each program rather than a library member the linker could drop.
set(VX_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../../tools/embed-resources/embed_resources.cmake)

function(vx_embed_resources library)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${library}_resources.cpp)
  set(files)
  foreach(f IN LISTS ARGN)
    get_filename_component(abs ${f} ABSOLUTE)
    list(APPEND files ${abs})
  endforeach()
  string(REPLACE ";" "|" packed "${files}")
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DTABLE=${library} "-DFILES=${packed}" -P ${VX_EMBED_SCRIPT}
    DEPENDS ${files} ${VX_EMBED_SCRIPT}
    COMMENT "Embedding resources of ${library}"
    VERBATIM)
  add_custom_target(${library}_resources DEPENDS ${output})
  add_dependencies(${library} ${library}_resources)
  target_sources(${library} INTERFACE $<BUILD_INTERFACE:${output}>)
endfunction()
