# embed_images(target function files...): compiles the files into target and
# gives it a function returning them as a span of EmbeddedImage.
function(embed_images target function)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${function}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} "-DFILES=${ARGN}" -DFUNCTION=${function}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
    DEPENDS ${ARGN} ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
    COMMENT "Embedding ${function}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
