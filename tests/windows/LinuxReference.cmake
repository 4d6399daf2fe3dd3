# cmake -DRENDER=<Linux halden-render> -DOUT=<folder> -P LinuxReference.cmake
# Writes what the Linux build prints for `--describe --host nuke` and its render of the demo
# scene (EXR, floats) into OUT, for the Windows build to be compared with.
cmake_minimum_required(VERSION 3.22)
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
# The plug-in's log and presets stay out of the user's folders.
set(ENV{XDG_STATE_HOME} ${OUT}/state)
set(ENV{XDG_CONFIG_HOME} ${OUT}/config)
execute_process(COMMAND ${RENDER} --describe --host nuke
    OUTPUT_FILE ${OUT}/describe-nuke.json RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${RENDER} --describe failed: ${status}")
endif()
execute_process(COMMAND ${RENDER} --backend cpu -o ${OUT}/demo.exr
    OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${RENDER} failed to render the demo scene: ${status}")
endif()
