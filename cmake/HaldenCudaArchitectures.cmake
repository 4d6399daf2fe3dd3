# halden_cuda_architectures(<toolkit version> <out variable>)
# The CUDA_ARCHITECTURES list for a toolkit: real code for every architecture it builds from
# Turing (sm_75) on, and PTX of the newest, which the driver JIT-compiles for later cards.
# Toolkits before 11.8 are refused: they lack Ada and Hopper.
function(halden_cuda_architectures version out)
    if(version VERSION_GREATER_EQUAL 12.8)
        set(real 75 80 86 89 90 100 120)
    elseif(version VERSION_GREATER_EQUAL 11.8)
        set(real 75 80 86 89 90)
    else()
        message(FATAL_ERROR "CUDA ${version} is too old: the CUDA backend needs 11.8 or newer")
    endif()
    list(GET real -1 newest)
    list(TRANSFORM real APPEND "-real")
    list(APPEND real "${newest}-virtual")
    set(${out} "${real}" PARENT_SCOPE)
endfunction()
