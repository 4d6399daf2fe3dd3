# Compiles a file into a target as a NUL-terminated char array, regenerated whenever the file changes.
#   halden_embed_text(<target> <file> <symbol>)
# defines `extern "C++" const char <symbol>[]` and `const std::size_t <symbol>Size` (bytes, without the NUL).
set(HALDEN_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedFile.cmake)

function(halden_embed_text target file symbol)
    get_filename_component(abs ${file} ABSOLUTE)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${target}/${symbol}.cpp)
    add_custom_command(
        OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DOUTPUT=${out} -DSYMBOL=${symbol}
                -P ${HALDEN_EMBED_SCRIPT}
        DEPENDS ${abs} ${HALDEN_EMBED_SCRIPT}
        COMMENT "Embedding ${file}"
        VERBATIM)
    target_sources(${target} PRIVATE ${out})
endfunction()

# Compiles an OpenEXR file into a target as bytes, with what its header says, read at build time.
#   halden_embed_exr(<target> <file> <symbol>)
# generates "<symbol>.h" (on the target's include path) declaring
# `extern const unsigned char <symbol>[]` and the constants <symbol>Size (bytes),
# <symbol>Width and <symbol>Height (data window) and <symbol>Channels (channel list).
# The work is done by this file itself, run as a script; only CMake is needed, so it works
# when cross-compiling too.
set(HALDEN_EMBED_MODULE ${CMAKE_CURRENT_LIST_FILE})

function(halden_embed_exr target file symbol)
    get_filename_component(abs ${file} ABSOLUTE)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/embedded)
    add_custom_command(
        OUTPUT ${dir}/${symbol}.cpp ${dir}/${symbol}.h
        COMMAND ${CMAKE_COMMAND} -DHALDEN_EXR_INPUT=${abs} -DHALDEN_EXR_DIR=${dir}
                -DHALDEN_EXR_SYMBOL=${symbol} -P ${HALDEN_EMBED_MODULE}
        DEPENDS ${abs} ${HALDEN_EMBED_MODULE}
        COMMENT "Embedding ${file}"
        VERBATIM)
    target_sources(${target} PRIVATE ${dir}/${symbol}.cpp ${dir}/${symbol}.h)
    target_include_directories(${target} PRIVATE ${dir})
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED HALDEN_EXR_INPUT)
    cmake_policy(VERSION 3.22)
    # Little-endian signed 32-bit integer at hex-digit position pos of hex.
    function(_halden_exr_int hex pos out)
        foreach(i 0 1 2 3)
            math(EXPR at "${pos} + 2 * ${i}")
            string(SUBSTRING "${hex}" ${at} 2 b${i})
        endforeach()
        math(EXPR value "0x${b3}${b2}${b1}${b0}")
        if(value GREATER_EQUAL 2147483648)
            math(EXPR value "${value} - 4294967296")
        endif()
        set(${out} ${value} PARENT_SCOPE)
    endfunction()
    # The NUL-terminated text at pos, in hex digits, and the position after its NUL.
    function(_halden_exr_text hex pos out next)
        string(LENGTH "${hex}" end)
        set(text "")
        while(TRUE)
            if(pos GREATER_EQUAL end)
                message(FATAL_ERROR "${HALDEN_EXR_INPUT}: header ends early")
            endif()
            string(SUBSTRING "${hex}" ${pos} 2 byte)
            math(EXPR pos "${pos} + 2")
            if(byte STREQUAL "00")
                break()
            endif()
            string(APPEND text ${byte})
        endwhile()
        set(${out} "${text}" PARENT_SCOPE)
        set(${next} ${pos} PARENT_SCOPE)
    endfunction()

    # Header attributes follow the 8 bytes of magic number and version; an empty name ends them.
    file(READ ${HALDEN_EXR_INPUT} header LIMIT 65536 HEX)
    string(SUBSTRING "${header}" 0 8 magic)
    if(NOT magic STREQUAL "762f3101")
        message(FATAL_ERROR "${HALDEN_EXR_INPUT} is not an OpenEXR file")
    endif()
    string(HEX "dataWindow" dataWindowName)
    string(HEX "channels" channelsName)
    set(width "")
    set(channels "")
    set(pos 16)
    while(TRUE)
        _halden_exr_text("${header}" ${pos} name pos)
        if(name STREQUAL "")
            break()
        endif()
        _halden_exr_text("${header}" ${pos} type pos)
        _halden_exr_int("${header}" ${pos} size)
        if(size LESS 0)
            message(FATAL_ERROR "${HALDEN_EXR_INPUT}: damaged header")
        endif()
        math(EXPR value "${pos} + 8")
        math(EXPR pos "${value} + 2 * ${size}")
        if(name STREQUAL dataWindowName)
            _halden_exr_int("${header}" ${value} xMin)
            math(EXPR at "${value} + 8")
            _halden_exr_int("${header}" ${at} yMin)
            math(EXPR at "${value} + 16")
            _halden_exr_int("${header}" ${at} xMax)
            math(EXPR at "${value} + 24")
            _halden_exr_int("${header}" ${at} yMax)
            math(EXPR width "${xMax} - ${xMin} + 1")
            math(EXPR height "${yMax} - ${yMin} + 1")
        elseif(name STREQUAL channelsName)
            # Each channel: its name, then 16 bytes of type, linearity and sampling.
            set(channels 0)
            set(at ${value})
            while(at LESS pos)
                _halden_exr_text("${header}" ${at} channel at)
                if(channel STREQUAL "")
                    break()
                endif()
                math(EXPR at "${at} + 32")
                math(EXPR channels "${channels} + 1")
            endwhile()
        endif()
    endwhile()
    if(width STREQUAL "" OR channels STREQUAL "")
        message(FATAL_ERROR "${HALDEN_EXR_INPUT}: no data window or channel list")
    endif()

    file(READ ${HALDEN_EXR_INPUT} hex HEX)
    string(LENGTH "${hex}" hexLength)
    math(EXPR size "${hexLength} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n" bytes "${bytes}")
    set(S ${HALDEN_EXR_SYMBOL})
    file(WRITE ${HALDEN_EXR_DIR}/${S}.h
        "// Generated from ${HALDEN_EXR_INPUT}; do not edit.\n"
        "#pragma once\n"
        "#include <cstddef>\n"
        "extern const unsigned char ${S}[];\n"
        "constexpr std::size_t ${S}Size = ${size};\n"
        "constexpr int ${S}Width = ${width};\n"
        "constexpr int ${S}Height = ${height};\n"
        "constexpr int ${S}Channels = ${channels};\n")
    file(WRITE ${HALDEN_EXR_DIR}/${S}.cpp
        "// Generated from ${HALDEN_EXR_INPUT}; do not edit.\n"
        "#include \"${S}.h\"\n"
        "const unsigned char ${S}[] = {\n${bytes}};\n")
endif()
