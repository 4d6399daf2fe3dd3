# Compiles a file into a target as a NUL-terminated char array, regenerated whenever the file changes.
#   halden_embed_text(<target> <file> <symbol>)
# defines `extern "C++" const char <symbol>[]` and `const std::size_t <symbol>Size` (bytes, without the NUL).
set(HALDEN_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedFile.cmake)

function(halden_embed_text target file symbol)
    get_filename_component(abs ${file} ABSOLUTE)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
    add_custom_command(
        OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DOUTPUT=${out} -DSYMBOL=${symbol}
                -P ${HALDEN_EMBED_SCRIPT}
        DEPENDS ${abs} ${HALDEN_EMBED_SCRIPT}
        COMMENT "Embedding ${file}"
        VERBATIM)
    target_sources(${target} PRIVATE ${out})
endfunction()
